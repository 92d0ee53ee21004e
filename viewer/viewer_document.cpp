// The life of the document: its file name, the modified mark in the title, the question before
// unsaved changes are lost, New / Save / Save As / Open Recent and closing the window.
#include "viewer.h"

#include "recent_files.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QScreen>

#include <iostream>

namespace {

constexpr int kNewDrawingSize = 512;
const char* const kAppTitle = "Hueflow";

} // namespace

QStringList Viewer::recentFileList() const { return recentFiles(); }

bool Viewer::maybeSaveChanges()
{
    if (!isModified())
        return true;
    const QString name = filePath.isEmpty() ? QString("Untitled") : QFileInfo(filePath).fileName();
    switch (dialogs().askSaveChanges(this, name)) {
    case ViewerDialogs::UnsavedChanges::Save: return saveDrawing();
    case ViewerDialogs::UnsavedChanges::Discard: return true;
    case ViewerDialogs::UnsavedChanges::Cancel: break;
    }
    return false;
}

bool Viewer::openDrawing(const QString& path)
{
    finishGesture();
    QString cause = "the file is unreadable";
    const bool opened = curveSet.loadXml(path, &cause);
    const QString name = QFileInfo(path).fileName();
    if (!opened) {
        reportFailure("Open drawing", QString("Could not open %1: %2").arg(name, cause));
    } else {
        emit outcomeReported("Opened " + name);
        // The old drawing's selection names curves that are gone.
        curveSet.clearSelection();
        history.clear();
        setDocumentPath(path);
        rememberFolderOf(path);
        emit recentFilesChanged(addRecentFile(path));
    }
    resetViewForDrawing();
    return opened;
}

void Viewer::resetViewForDrawing()
{
    // The window takes the drawing's size, but no more than the screen holds: a stored size can
    // be far beyond what a GL framebuffer may be.
    const QSize stored(curveSet.image_width, curveSet.image_height);
    const QSize screenSize =
        screen() != nullptr ? screen()->availableGeometry().size() : QSize(4096, 4096);
    if (!stored.isEmpty())
        resize(stored.boundedTo(screenSize));
    showWholeCanvas();
    reportCurrentValues();
}

void Viewer::newDrawing()
{
    finishGesture();
    if (!maybeSaveChanges())
        return;
    curveSet.clearSelection();
    curveSet.clear();
    curveSet.image_width = kNewDrawingSize;
    curveSet.image_height = kNewDrawingSize;
    history.clear();
    setDocumentPath(QString());
    resetViewForDrawing();
}

void Viewer::openRecent(const QString& path)
{
    finishGesture();
    if (!QFileInfo::exists(path)) {
        std::cerr << "The drawing " << path.toStdString()
                  << " no longer exists; it is removed from the recent files\n";
        emit recentFilesChanged(removeRecentFile(path));
        return;
    }
    if (!maybeSaveChanges())
        return;
    openDrawing(path);
}

bool Viewer::saveDrawing()
{
    finishGesture();
    if (filePath.isEmpty())
        return saveDrawingAs();
    return writeDrawing(filePath);
}

bool Viewer::saveDrawingAs()
{
    finishGesture();
    QString name = askSaveFileName("Choose a filename to save under", "XML (*.xml)");
    if (name.isEmpty())
        return false;
    if (QFileInfo(name).suffix().isEmpty())
        name += ".xml";
    return writeDrawing(name);
}

bool Viewer::writeDrawing(const QString& path)
{
    QString cause = "the file cannot be written";
    const bool saved = curveSet.saveXml(path, &cause);
    const QString name = QFileInfo(path).fileName();
    if (!saved) {
        std::cerr << "Could not save the drawing to " << path.toStdString() << "\n";
        reportFailure("Save drawing", QString("Could not save %1: %2").arg(name, cause));
        return false;
    }
    emit outcomeReported("Saved " + name);
    setDocumentPath(path);
    rememberFolderOf(path);
    history.setClean();
    emit recentFilesChanged(addRecentFile(path));
    return true;
}

void Viewer::setDocumentPath(const QString& path)
{
    filePath = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    updateTitle();
}

void Viewer::updateTitle()
{
    if (filePath.isEmpty())
        setWindowTitle(kAppTitle);
    else
        setWindowTitle(QFileInfo(filePath).fileName() + "[*] - " + kAppTitle);
    // A new drawing's title carries no mark ("Hueflow" alone).
    setWindowModified(!filePath.isEmpty() && isModified());
}

void Viewer::closeEvent(QCloseEvent* event)
{
    finishGesture();
    if (!maybeSaveChanges()) {
        event->ignore();
        return;
    }
    QGLViewer::closeEvent(event);
    event->accept();
    emit closed();
}
