// Work survives a dead editor: the real editor runs as a child process with scripted edits, is
// killed with SIGKILL once its recovery copy is written, and the next editor offers the copy and
// recovers the drawing of the last edit. Two editors running at once keep separate copies. An
// editor ended by the session (SIGTERM, SIGHUP, SIGINT) just after an edit writes its copy at
// once and quits normally, and the next start offers the edited drawing.
#include "child_program.h"
#include "test_editor_support.h"

#include "curve_set_xml.h"
#include "recovery_copy.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text a drawing file has once read and written again.
QByteArray drawingText(const QString& path)
{
    CurveSet set;
    EXPECT_TRUE(loadXml(set, path));
    return writeCurveSetXml(set);
}

class RecoveryAfterCrash : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(program).isExecutable())
            GTEST_SKIP() << "tintweave is not built beside this test: " << program.toStdString();
        ASSERT_TRUE(home.isValid());
        first = saved("first.xml", 1);
        second = saved("second.xml", 3);
        third = saved("third.xml", 5);
    }
    void TearDown() override
    {
        for (QProcess* editor : editors) {
            editor->kill();
            editor->waitForFinished(5000);
            delete editor;
        }
    }
    QString saved(const char* name, int curves)
    {
        CurveSet set;
        for (int i = 0; i < curves; ++i)
            set.addCurve(makeLine(Point(-0.5, -0.4 + 0.15 * i), Point(0.5, -0.3 + 0.15 * i)));
        set.image_width = 500 + curves;
        EXPECT_TRUE(saveXml(set, home.filePath(name)));
        return home.filePath(name);
    }
    // Starts the editor on `drawing` with the edits `edits`, in a home of its own (childHome).
    QProcess* startEditor(const QString& drawing, const QStringList& edits)
    {
        auto* editor = new QProcess;
        editors << editor;
        QProcessEnvironment environment = childHome.environment();
        environment.insert("TINTWEAVE_SCRIPTED_EDITS", edits.join(':'));
        editor->setProcessEnvironment(environment);
        editor->setWorkingDirectory(home.path());
        editor->start(program, {drawing});
        EXPECT_TRUE(editor->waitForStarted(10000));
        return editor;
    }
    QStringList copies() const
    {
        QStringList names = QDir(folder).entryList({"*.xml"}, QDir::Files);
        for (QString& name : names)
            name = folder + "/" + name;
        return names;
    }
    // Waits until some copy holds `text`; returns its path, empty when none did in time.
    QString copyHolding(const QByteArray& text, int ms = 20000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            for (const QString& copy : copies())
                if (bytesOf(copy) == text)
                    return copy;
            QTest::qWait(50);
        }
        return QString();
    }
    // Waits until the editor has written `line` on its standard output.
    static bool saidLine(QProcess* editor, const QByteArray& line, int ms = 60000)
    {
        QByteArray said;
        QElapsedTimer clock;
        clock.start();
        while (!said.contains(line) && clock.elapsed() < ms) {
            editor->waitForReadyRead(100);
            said += editor->readAllStandardOutput();
        }
        return said.contains(line);
    }
    void kill(QProcess* editor)
    {
        editor->kill(); // SIGKILL
        ASSERT_TRUE(editor->waitForFinished(5000));
    }

    const QString program =
        QFileInfo(QCoreApplication::applicationDirPath() + "/../../app/tintweave")
            .absoluteFilePath();
    QTemporaryDir home;                      // the drawings
    const test_support::ChildHome childHome; // the editors' settings and recovery folder
    const QString folder = childHome.dataFolder() + "/Tintweave/tintweave/recovery";
    QString first, second, third;
    QList<QProcess*> editors;
};

} // namespace

TEST_F(RecoveryAfterCrash, KilledEditorsLastEditIsRecovered)
{
    QProcess* editor = startEditor(first, {second, third});
    const QString copy = copyHolding(drawingText(third));
    ASSERT_FALSE(copy.isEmpty()) << "no recovery copy of the last edit was written";
    kill(editor);

    std::unique_ptr<Editor> next;
    ScriptedDialogs* dialogs = nullptr;
    startScriptedEditor(next, dialogs);
    dialogs->recoverAnswer = ScriptedDialogs::LeftDrawing::Recover;
    next->offerRecovery(folder);
    EXPECT_EQ(dialogs->recoverAsked, QStringList{"first.xml"});
    EXPECT_EQ(writeCurveSetXml(next->document.curves()), drawingText(third));
    EXPECT_EQ(next->document.filePath(), first);
    EXPECT_TRUE(next->document.isModified());
    EXPECT_EQ(next->viewer.windowTitle(), "first.xml[*] - Hueflow");
    EXPECT_FALSE(QFile::exists(copy)) << "the recovered copy is still offered";

    // Nothing is left to offer; a normal end leaves no copy behind.
    next->offerRecovery(folder);
    EXPECT_EQ(dialogs->recoverAsked.size(), 1);
    next.reset();
    EXPECT_TRUE(copies().isEmpty()) << copies().join(", ").toStdString();
}

TEST_F(RecoveryAfterCrash, DiscardDeletesTheLeftCopy)
{
    QProcess* editor = startEditor(first, {second});
    const QString copy = copyHolding(drawingText(second));
    ASSERT_FALSE(copy.isEmpty());
    kill(editor);

    std::unique_ptr<Editor> next;
    ScriptedDialogs* dialogs = nullptr;
    startScriptedEditor(next, dialogs);
    dialogs->recoverAnswer = ScriptedDialogs::LeftDrawing::Discard;
    next->offerRecovery(folder);
    EXPECT_EQ(dialogs->recoverAsked.size(), 1);
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_FALSE(next->document.isModified());
    EXPECT_EQ(next->document.curves().nb_curves, 0);
}

TEST_F(RecoveryAfterCrash, TwoEditorsKeepSeparateCopies)
{
    QProcess* one = startEditor(first, {second});
    startEditor(first, {third});
    const QString oneCopy = copyHolding(drawingText(second));
    const QString otherCopy = copyHolding(drawingText(third));
    ASSERT_FALSE(oneCopy.isEmpty());
    ASSERT_FALSE(otherCopy.isEmpty());
    EXPECT_NE(oneCopy, otherCopy);
    EXPECT_TRUE(leftRecoveryCopies(folder).empty()) << "a running editor's copy was offered";

    kill(one);
    std::vector<LeftCopy> left = leftRecoveryCopies(folder);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].copyPath(), oneCopy);
    EXPECT_EQ(bytesOf(otherCopy), drawingText(third));
}

class RecoveryAfterSessionEnd : public RecoveryAfterCrash,
                                public ::testing::WithParamInterface<int> {};

TEST_P(RecoveryAfterSessionEnd, EditJustBeforeTheSignalIsOfferedAtTheNextStart)
{
    QProcess* editor = startEditor(first, {second});
    ASSERT_TRUE(saidLine(editor, "Scripted edit 1 done"));
    // Well before the copy's usual delay after an edit.
    QTest::qWait(500);
    ASSERT_EQ(::kill(pid_t(editor->processId()), GetParam()), 0);
    ASSERT_TRUE(editor->waitForFinished(20000));
    EXPECT_EQ(editor->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor->exitCode(), 0) << editor->readAllStandardError().constData();
    ASSERT_EQ(copies().size(), 1) << "no recovery copy was left";

    std::unique_ptr<Editor> next;
    ScriptedDialogs* dialogs = nullptr;
    startScriptedEditor(next, dialogs);
    dialogs->recoverAnswer = ScriptedDialogs::LeftDrawing::Recover;
    next->offerRecovery(folder);
    EXPECT_EQ(dialogs->recoverAsked, QStringList{"first.xml"});
    EXPECT_EQ(writeCurveSetXml(next->document.curves()), drawingText(second));
    EXPECT_EQ(next->document.filePath(), first);
    EXPECT_TRUE(next->document.isModified());
}

INSTANTIATE_TEST_SUITE_P(Signals, RecoveryAfterSessionEnd,
                         ::testing::Values(SIGTERM, SIGHUP, SIGINT),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM  ? "SIGTERM"
                                                : info.param == SIGHUP ? "SIGHUP"
                                                                       : "SIGINT");
                         });
