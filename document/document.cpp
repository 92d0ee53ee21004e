#include "document.h"

#include "recent_files.h"
#include "curve_set_xml.h"
#include "curve_set_selection.h"

#include <QFileInfo>

#include <iostream>

namespace {

const char* const kAppTitle = "Hueflow";

} // namespace

Document::Document(const QString& recoveryFolder)
    : copy(recoveryFolder), schedule([this] { writeRecoveryCopy(); }, [this] { return isBusy(); })
{
    qRegisterMetaType<DrawingEdit>();
    steps.setUndoLimit(kUndoLimit);
    connect(&steps, &DrawingHistory::cleanChanged, this, &Document::titleChanged);
    connect(&steps, &DrawingHistory::setChanged, this, &Document::drawingChanged);
    connect(&steps, &DrawingHistory::indexChanged, this, &Document::historyMoved);
}

Document::~Document()
{
    if (!(recoveryCopyKept && isModified()))
        copy.remove();
}

QString Document::displayName() const
{
    return path.isEmpty() ? QString("Untitled") : QFileInfo(path).fileName();
}

QString Document::windowTitle() const
{
    return path.isEmpty() ? QString(kAppTitle) : displayName() + "[*] - " + kAppTitle;
}

// ---------------------------------------------------------------- edits and gestures

void Document::recordEdit(const QString& name, const std::function<void()>& change, bool mergeable)
{
    // Inside another edit the change belongs to that edit, which reports it.
    if (editDepth > 0) {
        change();
        return;
    }
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    ++editDepth;
    change();
    --editDepth;
    const DrawingChange made = DrawingChange::between(before, set);
    // Inside an open gesture the change belongs to the gesture's step.
    if (!gesture)
        steps.push(name, made, mergeable);
    reportEdit(made, gesture.has_value());
}

void Document::reportEdit(const DrawingChange& made, bool inGesture)
{
    if (made.isEmpty())
        return;
    if (inGesture && gesture)
        gesture->reported = true;
    emit drawingEdited(DrawingEdit::of(made, inGesture));
}

void Document::beginGesture(const QString& name)
{
    if (isBusy())
        return;
    gesture = Gesture{name, DrawingSnapshot::of(set)};
}

void Document::endGesture()
{
    if (!gesture)
        return;
    Gesture ended = std::move(*gesture);
    gesture.reset();
    const DrawingChange made = DrawingChange::between(ended.before, set);
    steps.push(ended.name, made);
    // The end is reported whenever an edit of the gesture was, even when the gesture came back
    // to where it began: views finish what they left for the gesture's end.
    if (!made.isEmpty() || ended.reported)
        emit drawingEdited(DrawingEdit::of(made, false));
}

void Document::finishGesture()
{
    if (!gesture)
        return;
    set.beginDrag(0.0, 0.0, false);
    set.clearControlPointSelection();
    endGesture();
}

void Document::revertGesture()
{
    if (!gesture)
        return;
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    DrawingChange::between(gesture->before, set).revert(set);
    reportEdit(DrawingChange::between(before, set), true);
}

void Document::cancelGesture()
{
    if (!gesture)
        return;
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    DrawingChange::between(gesture->before, set).revert(set);
    gesture.reset();
    reportEdit(DrawingChange::between(before, set), false);
}

void Document::undo()
{
    // Not while an edit waits for a modal answer: its step is not complete yet.
    if (editDepth > 0)
        return;
    finishGesture();
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    steps.undo();
    reportEdit(DrawingChange::between(before, set), false);
}

void Document::redo()
{
    if (editDepth > 0)
        return;
    finishGesture();
    const DrawingSnapshot before = DrawingSnapshot::of(set);
    steps.redo();
    reportEdit(DrawingChange::between(before, set), false);
}

void Document::replaceWholeDrawing()
{
    emit drawingReplaced();
    emit drawingEdited(DrawingEdit::wholeDrawing());
}

void Document::historyMoved()
{
    if (isModified()) {
        schedule.edited();
    } else {
        schedule.stop();
        copy.remove();
    }
}

// ---------------------------------------------------------------- file commands

bool Document::maybeSaveChanges()
{
    if (!isModified() || questions == nullptr)
        return true;
    switch (questions->askSaveChanges(displayName())) {
    case DocumentQuestions::UnsavedChanges::Save: recoveryCopyKept = false; return save();
    case DocumentQuestions::UnsavedChanges::Discard: recoveryCopyKept = false; return true;
    case DocumentQuestions::UnsavedChanges::Cancel: break;
    }
    return false;
}

bool Document::openDrawing(const QString& filePath)
{
    finishGesture();
    QString cause = "the file is unreadable";
    const QString name = QFileInfo(filePath).fileName();
    const auto progress = [this, &name](qint64 done, qint64 total) {
        if (questions != nullptr)
            questions->showReadingProgress(name, done, total);
    };
    const bool opened = loadXml(set, filePath, &cause, progress);
    progress(1, 1);
    if (!opened) {
        reportFailure("Open drawing", QString("Could not open %1: %2").arg(name, cause));
    } else {
        emit outcomeReported("Opened " + name);
        // The old drawing's selection names curves that are gone.
        clearSelection(set);
        steps.clear();
        setFilePath(filePath);
        rememberFolderOf(filePath, FileKind::Drawing);
        emit recentFilesChanged(addRecentFile(filePath));
    }
    replaceWholeDrawing();
    return opened;
}

void Document::open()
{
    finishGesture();
    if (!maybeSaveChanges())
        return;
    const QString name =
        questions != nullptr
            ? questions->openFileName("Select an xml file", "Vectorized splines (*.xml)")
            : QString();
    // A cancelled dialog leaves the drawing as it is; views reset all the same.
    if (name.isEmpty())
        replaceWholeDrawing();
    else
        openDrawing(name);
}

void Document::newDrawing()
{
    finishGesture();
    if (!maybeSaveChanges())
        return;
    startNewDrawing();
}

void Document::startNewDrawing()
{
    finishGesture();
    clearSelection(set);
    set.clear();
    set.image_width = kCanvasSize;
    set.image_height = kCanvasSize;
    steps.clear();
    setFilePath(QString());
    // No earlier outcome belongs to the new drawing: the status line empties.
    emit outcomeReported(QString());
    replaceWholeDrawing();
}

void Document::openRecent(const QString& filePath)
{
    finishGesture();
    if (!QFileInfo::exists(filePath)) {
        std::cerr << "The drawing " << filePath.toStdString()
                  << " no longer exists; it is removed from the recent files\n";
        emit recentFilesChanged(removeRecentFile(filePath));
        return;
    }
    if (!maybeSaveChanges())
        return;
    openDrawing(filePath);
}

bool Document::save()
{
    finishGesture();
    if (path.isEmpty())
        return saveAs();
    return writeDrawing(path);
}

bool Document::saveAs()
{
    finishGesture();
    QString name = questions != nullptr
                       ? questions->saveFileName("Choose a filename to save under", "XML (*.xml)")
                       : QString();
    if (name.isEmpty())
        return false;
    if (QFileInfo(name).suffix().isEmpty())
        name += ".xml";
    // Asked whatever the name typed: the extension added above may name an existing file.
    if (QFileInfo::exists(name) && !questions->askReplaceFile(name))
        return false;
    return writeDrawing(name);
}

QStringList Document::recentFileList() const { return recentFiles(); }

bool Document::writeDrawing(const QString& filePath)
{
    QString cause = "the file cannot be written";
    const bool saved = saveXml(set, filePath, &cause);
    const QString name = QFileInfo(filePath).fileName();
    if (!saved) {
        std::cerr << "Could not save the drawing to " << filePath.toStdString() << "\n";
        reportFailure("Save drawing", QString("Could not save %1: %2").arg(name, cause));
        return false;
    }
    emit outcomeReported("Saved " + name);
    setFilePath(filePath);
    rememberFolderOf(filePath, FileKind::Drawing);
    steps.setClean();
    emit recentFilesChanged(addRecentFile(filePath));
    return true;
}

void Document::setFilePath(const QString& filePath)
{
    path = filePath.isEmpty() ? QString() : QFileInfo(filePath).absoluteFilePath();
    emit titleChanged();
}

void Document::reportFailure(const QString& title, const QString& text)
{
    emit outcomeReported(text);
    if (questions != nullptr)
        questions->showFailure(title, text);
}

// ---------------------------------------------------------------- recovery

bool Document::writeRecoveryCopy()
{
    QString why;
    if (copy.write(set, path, &why)) {
        recoveryFailureShown = false;
        return true;
    }
    std::cerr << "Could not write the recovery copy " << copy.copyPath().toStdString() << ": "
              << why.toStdString() << "\n";
    // The status line says it once; the previous copy stays as it was.
    if (!recoveryFailureShown)
        emit outcomeReported("Could not write the recovery copy: " + why);
    recoveryFailureShown = true;
    return false;
}

bool Document::keepRecoveryCopy()
{
    if (!isModified())
        return true;
    recoveryCopyKept = true;
    schedule.stop();
    return writeRecoveryCopy();
}

bool Document::recover(LeftCopy& left)
{
    finishGesture();
    QString cause;
    if (!loadXml(set, left.copyPath(), &cause)) {
        reportFailure("Recover drawing", "Could not recover the drawing: " + cause);
        return false;
    }
    clearSelection(set);
    steps.clear(false); // modified: it differs from its file
    setFilePath(left.originalPath());
    emit outcomeReported("Recovered " + displayName());
    replaceWholeDrawing();
    // The drawing is safe in this editor's own copy before the left one goes.
    schedule.stop();
    if (writeRecoveryCopy())
        left.discard();
    return true;
}
