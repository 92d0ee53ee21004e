// The recovery copy of a modified drawing: when it is written and removed, how a copy left by a
// dead editor is found and recovered, and that a failed or interrupted write keeps the previous
// copy whole. Interrupted writes and write failures run in child processes.
#include "child_process.h"
#include "curve_set_xml.h"
#include "document_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/resource.h>

using namespace doc_test;

namespace {

QStringList copiesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList({"*.xml"}, QDir::Files);
    for (QString& name : names)
        name = folder + "/" + name;
    return names;
}

} // namespace

class Recovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        needCoreApplication();
        ASSERT_TRUE(home.isValid());
        QSettings().clear();
    }
    // A document whose copy goes to recoveryFolder, written 50 ms after the last edit.
    std::unique_ptr<Document> makeDocument()
    {
        auto document = std::make_unique<Document>(recoveryFolder);
        document->recoverySchedule().setDelays(50, 400);
        return document;
    }
    bool copyHolds(const Document& document, const QByteArray& xml, int ms = 3000)
    {
        const QString copy = document.recoveryCopy().copyPath();
        return waitFor([&] { return fileBytes(copy) == xml; }, ms);
    }

    QTemporaryDir home;
    QString recoveryFolder = home.filePath("recovery");
};

TEST_F(Recovery, CopyFollowsTheLastEditAndGoesWhenSavedOrUnmodified)
{
    auto document = makeDocument();
    const QString copy = document->recoveryCopy().copyPath();
    addSegment(*document, 0.1);
    addSegment(*document, 0.2);
    ASSERT_TRUE(copyHolds(*document, writeCurveSetXml(document->curves())));

    // Back at the saved state (empty): nothing to recover.
    document->undo();
    document->undo();
    EXPECT_FALSE(QFile::exists(copy));

    addSegment(*document, 0.3);
    ASSERT_TRUE(copyHolds(*document, writeCurveSetXml(document->curves())));
    ScriptedQuestions questions;
    questions.saveName = home.filePath("saved.xml");
    document->setQuestions(&questions);
    ASSERT_TRUE(document->save());
    EXPECT_FALSE(QFile::exists(copy));

    // A normal end removes the copy too.
    addSegment(*document, 0.4);
    ASSERT_TRUE(copyHolds(*document, writeCurveSetXml(document->curves())));
    document.reset();
    EXPECT_TRUE(copiesIn(recoveryFolder).isEmpty());
}

// The session ends without the user: the copy is written at once, not after the delay, and
// outlives the document; an unmodified drawing leaves none; an answer to the unsaved changes
// question takes the keeping back.
TEST_F(Recovery, KeptCopyIsWrittenAtOnceAndOutlivesTheDocumentUnlessTheUserAnswers)
{
    auto document = makeDocument();
    document->recoverySchedule().setDelays(60000, 60000);
    EXPECT_TRUE(document->keepRecoveryCopy());
    document.reset();
    EXPECT_TRUE(copiesIn(recoveryFolder).isEmpty()) << "an unmodified drawing left a copy";

    document = makeDocument();
    document->recoverySchedule().setDelays(60000, 60000);
    addSegment(*document, 0.1);
    const QByteArray edited = writeCurveSetXml(document->curves());
    ASSERT_TRUE(document->keepRecoveryCopy());
    const QString kept = document->recoveryCopy().copyPath();
    EXPECT_EQ(fileBytes(kept), edited);
    document.reset();
    EXPECT_EQ(fileBytes(kept), edited);
    ASSERT_EQ(leftRecoveryCopies(recoveryFolder).size(), 1u);
    leftRecoveryCopies(recoveryFolder).front().discard();

    document = makeDocument();
    addSegment(*document, 0.2);
    ASSERT_TRUE(document->keepRecoveryCopy());
    ScriptedQuestions questions; // Discard
    document->setQuestions(&questions);
    EXPECT_TRUE(document->maybeSaveChanges());
    document.reset();
    EXPECT_TRUE(copiesIn(recoveryFolder).isEmpty()) << "a discarded drawing left a copy";
}

TEST_F(Recovery, ContinuousEditingIsWrittenWithinTheLongestWait)
{
    auto document = makeDocument();
    QElapsedTimer clock;
    clock.start();
    // An edit every 20 ms never leaves the 50 ms of quiet: the 400 ms bound writes.
    bool written = false;
    for (int i = 0; !written && clock.elapsed() < 2000; ++i) {
        addSegment(*document, 0.001 * i);
        waitFor([] { return false; }, 20);
        written = QFile::exists(document->recoveryCopy().copyPath());
    }
    EXPECT_TRUE(written);
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST_F(Recovery, NoWriteWhileAGestureIsOpen)
{
    auto document = makeDocument();
    addSegment(*document, 0.0);
    document->curves().setCurrentCurve(0);
    document->beginGesture("Move Curve");
    document->curves().beginDrag(0.0, 0.0, true);
    document->curves().dragTo(0.1, 0.1);
    waitFor([] { return false; }, 600);
    EXPECT_FALSE(QFile::exists(document->recoveryCopy().copyPath()));
    document->finishGesture();
    EXPECT_TRUE(copyHolds(*document, writeCurveSetXml(document->curves())));
}

TEST_F(Recovery, LeftCopyIsOfferedOnlyOnceItsEditorIsGoneAndRecoversModified)
{
    CurveSet expected = segments(4);
    expected.image_width = 640;
    const QString original = home.filePath("mine.xml");
    // A child editor writes its copy and dies without removing it.
    const int status = inChildProcess(
        [&] {
            RecoveryCopy copy(recoveryFolder);
            if (!copy.write(expected, original))
                return 1;
            kill(getpid(), SIGKILL);
            return 2;
        },
        10);
    ASSERT_EQ(status, kDied);

    // A running editor's copy is not offered.
    auto running = makeDocument();
    addSegment(*running, 0.5);
    ASSERT_TRUE(copyHolds(*running, writeCurveSetXml(running->curves())));

    std::vector<LeftCopy> left = leftRecoveryCopies(recoveryFolder);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].originalPath(), original);
    // While this editor holds it, no other takes it.
    EXPECT_TRUE(leftRecoveryCopies(recoveryFolder).empty());

    auto document = makeDocument();
    ASSERT_TRUE(document->recover(left[0]));
    EXPECT_EQ(writeCurveSetXml(document->curves()), writeCurveSetXml(expected));
    EXPECT_EQ(document->filePath(), original);
    EXPECT_TRUE(document->isModified());
    EXPECT_FALSE(QFile::exists(left[0].copyPath())) << "the left copy was taken over";
    EXPECT_EQ(fileBytes(document->recoveryCopy().copyPath()), writeCurveSetXml(expected));
    EXPECT_EQ(copiesIn(recoveryFolder).size(), 2);
}

// Copies of two drawings, large enough that writing one takes a while, are written in turn
// without pause; the writer is killed at different moments. The copy on disk is always one of
// the two drawings, whole.
TEST_F(Recovery, KillDuringAWriteLeavesThePreviousCopyWhole)
{
    const CurveSet drawings[] = {segments(3000, -0.9), segments(3000, -0.8)};
    const QByteArray texts[] = {writeCurveSetXml(drawings[0]), writeCurveSetXml(drawings[1])};
    for (int attempt = 0; attempt < 6; ++attempt) {
        const QString folder = home.filePath(QString("kill%1").arg(attempt));
        const pid_t child = fork();
        if (child == 0) {
            RecoveryCopy copy(folder);
            for (int i = 0;; ++i)
                copy.write(drawings[i % 2], QString());
        }
        // Wait for the first whole copy, then let a few more writes start.
        ASSERT_TRUE(waitFor([&] { return copiesIn(folder).size() == 1; }, 10000));
        usleep(20000 + 37000 * attempt);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const QStringList copies = copiesIn(folder);
        ASSERT_EQ(copies.size(), 1);
        const QByteArray bytes = fileBytes(copies.front());
        EXPECT_TRUE(bytes == texts[0] || bytes == texts[1])
            << "attempt " << attempt << ": a copy of " << bytes.size() << " bytes";
    }
}

// A write that fails (the file size limit of the process stops it) keeps the previous copy and
// is reported once, however often it fails; a later good write is quiet.
TEST_F(Recovery, FailedWriteKeepsThePreviousCopyAndSaysSoOnce)
{
    const int status = inChildProcess(
        [&] {
            signal(SIGXFSZ, SIG_IGN);
            Document document(recoveryFolder);
            QStringList reports;
            QObject::connect(&document, &Document::outcomeReported,
                             [&](const QString& text) { reports << text; });
            addSegment(document, 0.0);
            if (!document.writeRecoveryCopy())
                return 1;
            const QByteArray good = fileBytes(document.recoveryCopy().copyPath());
            const rlimit small{static_cast<rlim_t>(good.size() * 2),
                               static_cast<rlim_t>(good.size() * 2)};
            setrlimit(RLIMIT_FSIZE, &small);
            for (int i = 0; i < 40; ++i)
                addSegment(document, 0.01 * i);
            if (document.writeRecoveryCopy() || document.writeRecoveryCopy())
                return 2;
            if (fileBytes(document.recoveryCopy().copyPath()) != good)
                return 3;
            if (reports.size() != 1 || !reports.front().startsWith("Could not write the recovery"))
                return 4;
            // Back to the drawing of the good copy, which fits within the limit again.
            for (int i = 0; i < 40; ++i)
                document.undo();
            addSegment(document, 0.5);
            document.undo();
            document.redo();
            if (!document.writeRecoveryCopy() || reports.size() != 1)
                return 5;
            return 0;
        },
        30);
    EXPECT_EQ(status, 0);
}
