// The question asked before a bitmap is traced: detail, sensitivity, and replace or add.
#include "viewer_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QRadioButton>

namespace {

QDoubleSpinBox* fractionBox(double value, const QString& tip, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(0.0, 1.0);
    box->setSingleStep(0.05);
    box->setDecimals(2);
    box->setValue(value);
    box->setToolTip(tip);
    return box;
}

} // namespace

bool ViewerDialogs::askTraceOptions(QWidget* parent, TraceOptions& options)
{
    QDialog dialog(parent);
    dialog.setWindowTitle("Trace Bitmap");
    auto* form = new QFormLayout(&dialog);
    QDoubleSpinBox* detail =
        fractionBox(options.detail, "More detail keeps shorter edges and follows them more tightly",
                    &dialog);
    QDoubleSpinBox* sensitivity =
        fractionBox(options.sensitivity, "Higher traces weaker edges", &dialog);
    form->addRow("Detail:", detail);
    form->addRow("Sensitivity:", sensitivity);
    auto* replace = new QRadioButton("Replace the drawing", &dialog);
    auto* add = new QRadioButton("Add as a new layer", &dialog);
    (options.replace ? replace : add)->setChecked(true);
    if (options.drawingHasCurves) {
        form->addRow(replace);
        form->addRow(add);
    } else {
        replace->hide();
        add->hide();
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options.detail = detail->value();
    options.sensitivity = sensitivity->value();
    options.replace = !options.drawingHasCurves || replace->isChecked();
    return true;
}
