#include "viewer_dialogs.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

QString ViewerDialogs::openFileName(QWidget* parent, const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, startFolder, filter);
}

QStringList ViewerDialogs::openFileNames(QWidget* parent, const QString& title,
                                         const QString& filter)
{
    return QFileDialog::getOpenFileNames(parent, title, startFolder, filter);
}

QString ViewerDialogs::saveFileName(QWidget* parent, const QString& title, const QString& filter)
{
    // The replace question comes after the extension is added (askReplaceFile), not here.
    return QFileDialog::getSaveFileName(parent, title, startFolder, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

bool ViewerDialogs::askReplaceFile(QWidget* parent, const QString& path)
{
    QMessageBox box(QMessageBox::Warning, "Hueflow",
                    QString("%1 already exists.").arg(QFileInfo(path).fileName()),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setInformativeText("Do you want to replace it?");
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

ViewerDialogs::UnsavedChanges ViewerDialogs::askSaveChanges(QWidget* parent,
                                                            const QString& drawingName)
{
    QMessageBox box(QMessageBox::Warning, "Hueflow",
                    QString("The drawing \"%1\" has been modified.").arg(drawingName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText("Do you want to save your changes?");
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save: return UnsavedChanges::Save;
    case QMessageBox::Discard: return UnsavedChanges::Discard;
    default: return UnsavedChanges::Cancel;
    }
}

ViewerDialogs::LeftDrawing ViewerDialogs::askRecover(QWidget* parent, const QString& drawingName,
                                                     const QString& when)
{
    QMessageBox box(QMessageBox::Question, "Hueflow",
                    QString("The editor did not end normally. Changes to the drawing \"%1\" "
                            "were kept at %2.")
                        .arg(drawingName, when),
                    QMessageBox::NoButton, parent);
    box.setInformativeText("Recover them, or discard them for good?");
    QPushButton* recover = box.addButton("Recover", QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton("Discard", QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(recover);
    box.exec();
    if (box.clickedButton() == recover)
        return LeftDrawing::Recover;
    if (box.clickedButton() == discard)
        return LeftDrawing::Discard;
    return LeftDrawing::Keep;
}

void ViewerDialogs::showMessage(QWidget* parent, const QString& title, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void ViewerDialogs::showInformation(QWidget* parent, const QString& title, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

bool ViewerDialogs::askKeyframeOptions(QWidget* parent, KeyframeOptions& options)
{
    QDialog dialog(parent);
    dialog.setWindowTitle("Keyframing");
    auto* folder = new QLineEdit(options.folder, &dialog);
    auto* frames = new QSpinBox(&dialog);
    frames->setRange(kMinFramesPerPair, kMaxFramesPerPair);
    frames->setValue(options.framesPerPair);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    form->addRow("Output folder:", folder);
    form->addRow("Frames per pair:", frames);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options.folder =
        folder->text().trimmed().isEmpty() ? QString("output") : folder->text().trimmed();
    options.framesPerPair = frames->value();
    return true;
}

QAction* ViewerDialogs::runMenu(QMenu& menu, const QPoint& globalPos)
{
    return menu.exec(globalPos);
}

bool ViewerDialogs::askColourSpace(QWidget* parent, ColourSpace& space)
{
    const ColourSpace spaces[] = {ColourSpace::Srgb, ColourSpace::Linear, ColourSpace::Oklab};
    const QStringList names = {"sRGB values (as drawn before)", "Linear light",
                               "OKLab (perceptual)"};
    int current = 0;
    for (int i = 0; i < 3; ++i)
        if (spaces[i] == space)
            current = i;
    bool accepted = false;
    const QString answer =
        QInputDialog::getItem(parent, "Drawing Settings", "Diffuse the colours in:", names, current,
                              false, &accepted);
    if (accepted && names.contains(answer))
        space = spaces[names.indexOf(answer)];
    return accepted;
}

bool ViewerDialogs::askPictureSize(QWidget* parent, int& size, int minimum, int maximum)
{
    bool accepted = false;
    const int answer = QInputDialog::getInt(
        parent, "Save as Png",
        QString("Size of the picture in pixels (%1 to %2):").arg(minimum).arg(maximum), size,
        minimum, maximum, 256, &accepted);
    if (accepted)
        size = answer;
    return accepted;
}
