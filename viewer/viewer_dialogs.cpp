#include "viewer_dialogs.h"

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QSlider>

QString ViewerDialogs::openFileName(QWidget* parent, const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, title, "./", filter);
}

QStringList ViewerDialogs::openFileNames(QWidget* parent, const QString& title,
                                         const QString& filter)
{
    return QFileDialog::getOpenFileNames(parent, title, "./", filter);
}

QString ViewerDialogs::saveFileName(QWidget* parent, const QString& title, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, title, "./", filter);
}

void ViewerDialogs::showMessage(QWidget* parent, const QString& title, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

QAction* ViewerDialogs::runMenu(QMenu& menu, const QPoint& globalPos)
{
    return menu.exec(globalPos);
}

int ViewerDialogs::runSliderDialog(QWidget* parent, int minimum, int maximum, int value,
                                   const QPoint& globalPos)
{
    QDialog dialog(parent);
    dialog.resize(100, 20);
    QSlider slider(Qt::Horizontal, &dialog);
    slider.setRange(minimum, maximum);
    slider.setValue(value);
    slider.resize(100, 20);
    dialog.move(globalPos);
    dialog.exec();
    return slider.value();
}
