// The life of one drawing without any window: New, Open, Save and Save As, the modified mark
// and the title, undo and redo, and the question before unsaved changes are lost.
#include "curve_set_layers.h"
#include "curve_set_xml.h"
#include "document_test_support.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>
#include <vector>

using namespace doc_test;

class DocumentLife : public ::testing::Test {
protected:
    void SetUp() override
    {
        needCoreApplication();
        ASSERT_TRUE(folder.isValid());
        QSettings().clear();
        document = std::make_unique<Document>(folder.filePath("recovery"));
        document->setQuestions(&questions);
    }
    QString path(const char* name) const { return folder.filePath(name); }
    QByteArray xml() const { return writeCurveSetXml(document->curves()); }
    QString savedFile(const char* name, int curves)
    {
        EXPECT_TRUE(saveXml(segments(curves), path(name)));
        return path(name);
    }

    QTemporaryDir folder;
    ScriptedQuestions questions;
    std::unique_ptr<Document> document;
};

TEST_F(DocumentLife, OpenEditSaveAndTheModifiedMark)
{
    const QString file = savedFile("a.xml", 2);
    QSignalSpy replaced(document.get(), &Document::drawingReplaced);
    ASSERT_TRUE(document->openDrawing(file));
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(document->curves().nb_curves, 2);
    EXPECT_EQ(document->filePath(), file);
    EXPECT_EQ(document->windowTitle(), "a.xml[*] - Hueflow");
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(document->recentFileList(), QStringList{file});

    addSegment(*document, 0.4);
    EXPECT_TRUE(document->isModified());
    EXPECT_EQ(document->history().undoText(), "Add");
    EXPECT_TRUE(document->save());
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(fileBytes(file), xml());
    EXPECT_TRUE(questions.unsavedAsked.isEmpty());

    // Undo leaves the saved state, redo comes back to it.
    document->undo();
    EXPECT_TRUE(document->isModified());
    EXPECT_EQ(document->curves().nb_curves, 2);
    document->redo();
    EXPECT_FALSE(document->isModified());
    EXPECT_EQ(fileBytes(file), xml());
}

TEST_F(DocumentLife, SaveAsAddsTheExtensionAndNamesTheDrawing)
{
    addSegment(*document, 0.1);
    questions.saveName.clear(); // cancelled
    EXPECT_FALSE(document->save());
    EXPECT_TRUE(document->isModified());
    questions.saveName = path("named");
    EXPECT_TRUE(document->save());
    EXPECT_EQ(document->filePath(), path("named.xml"));
    EXPECT_EQ(fileBytes(path("named.xml")), xml());
}

TEST_F(DocumentLife, SaveAsAsksBeforeReplacingTheFileTheExtensionNames)
{
    const QString existing = savedFile("kept.xml", 2);
    const QByteArray before = fileBytes(existing);
    addSegment(*document, 0.1);
    questions.saveName = path("kept"); // no extension typed
    questions.replaceAnswer = false;
    EXPECT_FALSE(document->saveAs());
    EXPECT_EQ(questions.replaceAsked, QStringList{existing});
    EXPECT_EQ(fileBytes(existing), before);
    EXPECT_TRUE(document->filePath().isEmpty());
    questions.replaceAnswer = true;
    EXPECT_TRUE(document->saveAs());
    EXPECT_EQ(fileBytes(existing), xml());
}

TEST_F(DocumentLife, NewAsksFirstAndCancelKeepsEverything)
{
    const QString file = savedFile("kept.xml", 3);
    ASSERT_TRUE(document->openDrawing(file));
    addSegment(*document, 0.3);
    const QByteArray edited = xml();

    questions.unsavedAnswer = DocumentQuestions::UnsavedChanges::Cancel;
    document->newDrawing();
    questions.openName = savedFile("other.xml", 1);
    document->open();
    EXPECT_EQ(questions.unsavedAsked, (QStringList{"kept.xml", "kept.xml"}));
    EXPECT_EQ(xml(), edited);
    EXPECT_EQ(document->filePath(), file);
    EXPECT_EQ(document->history().count(), 1);

    // Save first, then New: the file holds the edit, the drawing is empty and unnamed.
    questions.unsavedAnswer = DocumentQuestions::UnsavedChanges::Save;
    QSignalSpy outcomes(document.get(), &Document::outcomeReported);
    document->newDrawing();
    ASSERT_EQ(outcomes.count(), 2);
    EXPECT_EQ(outcomes.at(0).at(0).toString(), "Saved kept.xml");
    EXPECT_EQ(outcomes.at(1).at(0).toString(), "") << "the new drawing's status line is empty";
    EXPECT_EQ(fileBytes(file), edited);
    EXPECT_EQ(document->curves().nb_curves, 0);
    EXPECT_TRUE(document->filePath().isEmpty());
    EXPECT_EQ(document->windowTitle(), "Hueflow");
    EXPECT_FALSE(document->isModified());
    EXPECT_FALSE(document->history().canUndo());
}

TEST_F(DocumentLife, UnreadableFileKeepsDrawingNameAndHistory)
{
    const QString file = savedFile("good.xml", 2);
    ASSERT_TRUE(document->openDrawing(file));
    addSegment(*document, 0.2);
    const QByteArray drawing = xml();
    QFile bad(path("bad.xml"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<curve_set image_width=\"512\"");
    bad.close();
    EXPECT_FALSE(document->openDrawing(path("bad.xml")));
    EXPECT_EQ(xml(), drawing);
    EXPECT_EQ(document->filePath(), file);
    EXPECT_TRUE(document->history().canUndo());
    ASSERT_EQ(questions.failures.size(), 1);
    EXPECT_TRUE(questions.failures.front().startsWith("Open drawing: Could not open bad.xml"));
}

TEST_F(DocumentLife, ReadingReportsItsProgressAndItsEnd)
{
    ASSERT_TRUE(document->openDrawing(savedFile("many.xml", 1000)));
    const auto& reports = questions.progress;
    ASSERT_GE(reports.size(), 4u) << "a report every 256 curves, then the end";
    for (size_t i = 1; i + 1 < reports.size(); ++i) {
        EXPECT_GT(reports[i].first, reports[i - 1].first);
        EXPECT_LT(reports[i].first, reports[i].second);
    }
    EXPECT_GE(reports.back().first, reports.back().second) << "the end is reported";

    questions.progress.clear();
    EXPECT_FALSE(document->openDrawing(path("missing.xml")));
    ASSERT_FALSE(reports.empty());
    EXPECT_GE(reports.back().first, reports.back().second) << "a failed read ends too";
}

TEST_F(DocumentLife, GestureIsOneStepAndUndoEndsIt)
{
    document->curves().addCurve(segment(-0.5, 0.0, 0.5, 0.0));
    document->history().clear();
    const QByteArray before = xml();
    CurveSet& set = document->curves();
    set.setCurrentCurve(0);
    document->beginGesture("Move Curve");
    set.beginDrag(0.0, 0.0, true);
    set.dragTo(0.1, 0.0);
    EXPECT_TRUE(document->isBusy());
    EXPECT_FALSE(document->isModified()) << "a step is pushed when the gesture ends";
    set.dragTo(0.2, 0.1);
    document->undo(); // ends the gesture, whose step it takes back
    EXPECT_FALSE(document->isBusy());
    EXPECT_FALSE(set.dragging);
    EXPECT_EQ(xml(), before);
    EXPECT_EQ(document->history().count(), 1);
    EXPECT_EQ(document->history().redoText(), "Move Curve");
}

// Every layer operation is one step that undo takes back and redo makes again, the layers'
// names, flags, opacities, order and curves included; a change of a layer's settings is
// reported as one of the whole drawing (the picture composites every layer), a stroke into a
// layer as the run of curves it added.
TEST_F(DocumentLife, EveryLayerOperationIsOneUndoStep)
{
    CurveSet& set = document->curves();
    set.addCurve(segment(-0.5, 0.0, 0.5, 0.0));
    set.addCurve(segment(-0.5, 0.2, 0.5, 0.2));
    document->history().clear();
    QSignalSpy edited(document.get(), &Document::drawingEdited);

    struct State {
        QByteArray xml;
        QVector<Layer> layers;
    };
    auto state = [&] { return State{xml(), set.layers}; };
    std::vector<State> states{state()};
    struct Operation {
        const char* name;
        std::function<void()> change;
        bool wholeDrawing; // reported as a change of the whole drawing
    };
    const std::vector<Operation> operations = {
        {"Add Layer", [&] { addLayer(set, "Top"); }, true},
        {"Draw", [&] { set.addCurve(segment(-0.4, 0.6, 0.4, 0.6)); }, false},
        {"Rename Layer", [&] { renameLayer(set, 1, "Highlights"); }, true},
        {"Hide Layer", [&] { setLayerVisible(set, 0, false); }, true},
        {"Lock Layer", [&] { setLayerLocked(set, 1, true); }, true},
        {"Layer Opacity", [&] { setLayerOpacity(set, 1, 0.5); }, true},
        {"Move Layer", [&] { moveLayer(set, 1, 0); }, true},
        {"Move to Layer",
         [&] {
             set.setCurrentCurve(0); // the top layer's curve, now first
             moveSelectionToLayer(set, 1);
         },
         false},
        {"Delete Layer", [&] { deleteLayer(set, 0); }, true},
    };
    for (const Operation& op : operations) {
        edited.clear();
        document->recordEdit(op.name, op.change);
        EXPECT_EQ(document->history().undoText(), op.name);
        ASSERT_EQ(edited.count(), 1) << op.name << " changed nothing";
        const DrawingEdit edit = edited.takeFirst().at(0).value<DrawingEdit>();
        EXPECT_EQ(edit.everything, op.wholeDrawing) << op.name;
        states.push_back(state());
        EXPECT_NE(states.back().layers, states[states.size() - 2].layers) << op.name;
    }
    EXPECT_EQ(document->history().count(), int(operations.size()));
    EXPECT_EQ(set.layerCount(), 1);

    for (size_t k = operations.size(); k-- > 0;) {
        document->undo();
        EXPECT_EQ(xml(), states[k].xml) << "undo " << operations[k].name;
        EXPECT_EQ(set.layers, states[k].layers) << "undo " << operations[k].name;
    }
    EXPECT_FALSE(document->isModified());
    for (size_t k = 0; k < operations.size(); ++k) {
        document->redo();
        EXPECT_EQ(xml(), states[k + 1].xml) << "redo " << operations[k].name;
        EXPECT_EQ(set.layers, states[k + 1].layers) << "redo " << operations[k].name;
    }
}

// A preview (the blur control) starts each value from the drawing the gesture began with;
// Escape cancels it without a step, Return ends it as one step.
TEST_F(DocumentLife, RevertedAndCancelledGesturesLeaveTheDrawingAsItBegan)
{
    document->curves().addCurve(segment(-0.5, 0.0, 0.5, 0.0));
    document->history().clear();
    const QByteArray before = xml();
    CurveSet& set = document->curves();
    set.setCurrentCurve(0);
    document->beginGesture("Blur Point");
    set.setBlurOf(9, 0);
    document->revertGesture();
    EXPECT_EQ(xml(), before);
    EXPECT_TRUE(document->hasGesture());
    set.setBlurOf(7, 0);
    document->cancelGesture();
    EXPECT_EQ(xml(), before);
    EXPECT_FALSE(document->isBusy());
    EXPECT_EQ(document->history().count(), 0);
    EXPECT_EQ(set.current_curve, 0);

    document->beginGesture("Blur Point");
    set.setBlurOf(7, 0);
    document->revertGesture();
    set.setBlurOf(5, 0);
    document->endGesture();
    EXPECT_EQ(document->history().count(), 1);
    EXPECT_EQ(set.curve(0).blur_values.first(), 5);
    document->undo();
    EXPECT_EQ(xml(), before);
    document->cancelGesture(); // none open: nothing happens
    EXPECT_EQ(document->history().redoText(), "Blur Point");
}

TEST(DrawingHistoryRules, MergingCleanStateAndLimit)
{
    CurveSet set = segments(1);
    DrawingHistory history(set);
    const auto blur = [&](int value) {
        const DrawingSnapshot before = DrawingSnapshot::of(set);
        set.setCurrentCurve(0);
        set.setBlur(value);
        history.push("Blur", DrawingChange::between(before, set), true);
    };
    blur(3);
    blur(5);
    EXPECT_EQ(history.count(), 1) << "values of one slider drag make one step";
    history.setClean();
    blur(7);
    EXPECT_EQ(history.count(), 2) << "the saved state stays reachable";
    blur(5);
    EXPECT_EQ(history.count(), 1) << "steps that cancel out leave the history";
    EXPECT_TRUE(history.isClean());

    history.setUndoLimit(3);
    for (int value = 1; value <= 5; ++value) {
        const DrawingSnapshot before = DrawingSnapshot::of(set);
        set.setBlur(value);
        history.push("Set", DrawingChange::between(before, set));
    }
    EXPECT_EQ(history.count(), 3);
    EXPECT_FALSE(history.isClean());
    while (history.canUndo())
        history.undo();
    EXPECT_FALSE(history.isClean()) << "the saved state was forgotten with the oldest steps";
    EXPECT_EQ(set.curve(0).default_blur, 2);
}
