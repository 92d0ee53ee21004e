#include "interface.h"

#include <QApplication>
#include <QButtonGroup>
#include <algorithm>
#include <QColorDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>

#include "tool_icons.h"

namespace {

// Side of the squares of the checkerboard that a translucent swatch shows through, in pixels.
constexpr int kSwatchChecker = 4;

// A swatch: a solid pixmap of the colour, used as the icon of its button. A translucent colour
// is laid over a checkerboard of light greys, as the viewer shows transparent parts of the
// picture, so that its opacity shows.
QIcon swatch(const QColor& color, int width, int height)
{
    QPixmap pixmap(width, height);
    if (color.alpha() == 255) {
        pixmap.fill(color);
        return QIcon(pixmap);
    }
    pixmap.fill(QColor(204, 204, 204));
    QPainter painter(&pixmap);
    for (int y = 0; y < height; y += kSwatchChecker)
        for (int x = (y / kSwatchChecker % 2) * kSwatchChecker; x < width; x += 2 * kSwatchChecker)
            painter.fillRect(x, y, kSwatchChecker, kSwatchChecker, QColor(153, 153, 153));
    painter.fillRect(0, 0, width, height, color);
    painter.end();
    return QIcon(pixmap);
}

// The colours asked for are those of colour points, which carry an opacity: the dialog offers
// the alpha channel.
QColor runColorDialog(const QColor& initial)
{
    return QColorDialog::getColor(initial, nullptr, QString(), QColorDialog::ShowAlphaChannel);
}

// The state of a check box as a display flag; the partly-checked state gives no flag.
bool isDecided(int state) { return state == Qt::Unchecked || state == Qt::Checked; }

} // namespace

Interface::Interface(QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags), chooseColor(runColorDialog)
{
    qRegisterMetaType<PanelTool>("PanelTool");
    qRegisterMetaType<PanelLines>("PanelLines");
    setupUi(this);
    // The panel is rarely the active window (the user works in the viewer): its tooltips show
    // all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    status.install(statusbar);
    // The form has no layouts: the controls' area keeps all of them, and the window grows past
    // its 512 pixels where the menu bar and the status bar need it.
    const QRect controls = centralwidget->childrenRect();
    centralwidget->setMinimumSize(controls.right() + 1, controls.bottom() + 1);
    resize(size().expandedTo(minimumSizeHint()));
    installToolIcons(manipMode, defaultIconDirs());

    buttonGroup = new QButtonGroup(this);
    for (QPushButton* button : manipMode->findChildren<QPushButton*>())
        buttonGroup->addButton(button);
    // The buttons that choose a mode show which one is active; the one-shot commands do not.
    for (PanelTool mode : {ToolMovePoint, ToolModifAttrib, ToolSelectMulti, ToolDrawCatmull,
                           ToolPan, ToolBucket, ToolPicker})
        buttonOfMode(mode)->setCheckable(true);
    buttonGroup->setExclusive(true);

    renewSwatches();
    maxBlur = sliderBlur->maximum();
    sliderBlur->setValue(blur);
    makeConnections();
    labelIterValue->setNum(sliderIter->value());
    labelLifetimeValue->setNum(sliderLifetimeThreshold->value());
    installEditKeys();
    installHelp();
    setUndoText(QString());
    setRedoText(QString());
    setRecentFiles(QStringList());
}

void Interface::installEditKeys()
{
    const std::pair<const char*, QAction*> keys[] = {{"Ctrl+C", action_Copy},
                                                     {"Ctrl+V", action_Paste},
                                                     {"Ctrl+X", action_Cut},
                                                     {"Ctrl+D", action_Copy_Blur},
                                                     {"Ctrl+F", action_Paste_Blur}};
    for (const auto& [sequence, action] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(sequence), this);
        connect(shortcut, &QShortcut::activated, action, &QAction::trigger);
    }
    actionRedo->setShortcuts({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")});
}

void Interface::installHelp()
{
    const std::pair<QAction*, const char*> pages[] = {{actionHelp, "Help"},
                                                      {actionKeys, "Keyboard"},
                                                      {actionMouse, "Mouse"},
                                                      {actionAbout, "About"}};
    for (const auto& [action, page] : pages) {
        const QString title = page;
        connect(action, &QAction::triggered, this, [this, title] { emit helpRequested(title); });
    }
    // H, as in the viewer; F1 is the entry's own shortcut.
    auto* key = new QShortcut(QKeySequence(Qt::Key_H), this);
    connect(key, &QShortcut::activated, actionHelp, &QAction::trigger);
}

void Interface::setUndoText(const QString& step)
{
    actionUndo->setText(step.isEmpty() ? QString("&Undo") : "&Undo " + step);
    actionUndo->setEnabled(!step.isEmpty());
}

void Interface::setRedoText(const QString& step)
{
    actionRedo->setText(step.isEmpty() ? QString("&Redo") : "&Redo " + step);
    actionRedo->setEnabled(!step.isEmpty());
}

void Interface::setRecentFiles(const QStringList& files)
{
    menuOpen_Recent->clear();
    for (const QString& path : files) {
        QAction* entry = menuOpen_Recent->addAction(QFileInfo(path).fileName());
        entry->setData(path);
        entry->setToolTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { emit recentFileChosen(path); });
    }
    menuOpen_Recent->setEnabled(!files.isEmpty());
}

void Interface::showOutcome(const QString& text) { status.showOutcome(text); }

void Interface::clearOutcome() { showOutcome(QString()); }

void Interface::setColorChooser(ColorChooser chooser)
{
    chooseColor = chooser ? std::move(chooser) : ColorChooser(runColorDialog);
}

void Interface::makeConnections()
{
    connect(buttonLeftColor, &QPushButton::clicked, this, &Interface::changeLeftColor);
    connect(buttonRightColor, &QPushButton::clicked, this, &Interface::changeRightColor);
    connect(sliderBlur, &QSlider::valueChanged, this, &Interface::changeBlur);
    // The number beside the blur slider: each follows the other; only the slider reports.
    connect(sliderBlur, &QSlider::valueChanged, spinBlur, &QSpinBox::setValue);
    connect(spinBlur, QOverload<int>::of(&QSpinBox::valueChanged), sliderBlur, &QSlider::setValue);
    connect(spinSnapReach, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &Interface::snapReachChanged);
    connect(sliderIter, &QSlider::valueChanged, this, &Interface::iterChanged);
    connect(sliderLifetimeThreshold, &QSlider::valueChanged, this,
            &Interface::lifetimeThresholdChanged);
    // The numbers beside the two sliders show their values.
    connect(sliderIter, &QSlider::valueChanged, labelIterValue,
            QOverload<int>::of(&QLabel::setNum));
    connect(sliderLifetimeThreshold, &QSlider::valueChanged, labelLifetimeValue,
            QOverload<int>::of(&QLabel::setNum));
    // Each display check box reports its flag; the partly-checked state reports nothing.
    const std::pair<QCheckBox*, void (Interface::*)(bool)> flags[] = {
        {checkBoxShowSplines, &Interface::showSplinesChanged},
        {checkBoxShowExampleImg, &Interface::showExampleImgChanged},
        {checkBoxActivateBlur, &Interface::activateBlurChanged}};
    for (const auto& [box, changed] : flags) {
        connect(box, &QCheckBox::stateChanged, this, [this, changed = changed](int state) {
            if (isDecided(state))
                emit(this->*changed)(state == Qt::Checked);
        });
    }
    connect(comboSplineLines, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { emit splineLinesChanged(static_cast<PanelLines>(index)); });
    connect(checkBoxLeftColor, &QCheckBox::stateChanged, this, &Interface::activateCLeft);
    connect(checkBoxRightColor, &QCheckBox::stateChanged, this, &Interface::activateCRight);
    connect(buttonGroup, QOverload<QAbstractButton*>::of(&QButtonGroup::buttonClicked), this,
            &Interface::changeManipMode);
    connect(buttonBucketColor, &QPushButton::clicked, this, &Interface::changeBucketColor);
}

void Interface::renewSwatches()
{
    buttonLeftColor->setIcon(swatch(leftColor, 10, 10));
    buttonRightColor->setIcon(swatch(rightColor, 10, 10));
    buttonBucketColor->setIcon(swatch(bucketColor, 12, 25));
}

void Interface::setLeftColor(QColor C)
{
    leftColor = C;
    renewSwatches();
}

void Interface::setRightColor(QColor C)
{
    rightColor = C;
    renewSwatches();
}

void Interface::setBucketColor(QColor C)
{
    bucketColor = C;
    renewSwatches();
}

void Interface::setBlur(int s)
{
    if (isEditingBlur()) { // shown when the edit ends
        blur = std::clamp(s, 0, maxBlur);
        return;
    }
    blur = s;
    sliderBlur->setValue(s); // clamps to 0..16; a change comes back through changeBlur
}

void Interface::setExampleImgShown(bool shown)
{
    const QSignalBlocker quiet(checkBoxShowExampleImg);
    checkBoxShowExampleImg->setChecked(shown);
}

void Interface::setBlurActive(bool active)
{
    const QSignalBlocker quiet(checkBoxActivateBlur);
    checkBoxActivateBlur->setChecked(active);
}

// ---------------------------------------------------------------- blur editing

void Interface::editBlurPoint(int value)
{
    startBlurEdit(BlurEdit::Point, 0, maxBlur, value);
    showOutcome("Blur point: move the Blur slider or type a number; Return applies, Escape "
                "cancels");
}

void Interface::editBlurShift()
{
    startBlurEdit(BlurEdit::Shift, -maxBlur, maxBlur, 0);
    showOutcome("Blur shift of the selection: move the Blur slider or type a number; Return "
                "applies, Escape cancels");
}

void Interface::startBlurEdit(BlurEdit kind, int minimum, int maximum, int value)
{
    if (!isEditingBlur())
        qApp->installEventFilter(this);
    blurEdit = kind;
    showBlurRange(minimum, maximum, value);
    labelBlur->setText(kind == BlurEdit::Point ? "Point:" : "Shift:");
    QFont bold = labelBlur->font();
    bold.setBold(true);
    labelBlur->setFont(bold);
}

void Interface::showBlurRange(int minimum, int maximum, int value)
{
    const QSignalBlocker quietSlider(sliderBlur);
    const QSignalBlocker quietNumber(spinBlur);
    sliderBlur->setRange(minimum, maximum);
    spinBlur->setRange(minimum, maximum);
    sliderBlur->setValue(value);
    spinBlur->setValue(sliderBlur->value());
}

void Interface::commitBlurEdit()
{
    if (!isEditingBlur())
        return;
    const int value = sliderBlur->value();
    stopBlurEdit();
    emit blurEditCommitted(value);
}

void Interface::cancelBlurEdit()
{
    if (!isEditingBlur())
        return;
    stopBlurEdit();
    emit blurEditCancelled();
}

void Interface::stopBlurEdit()
{
    if (!isEditingBlur())
        return;
    qApp->removeEventFilter(this);
    blurEdit = BlurEdit::None;
    showBlurRange(0, maxBlur, blur);
    labelBlur->setText("Blur:");
    labelBlur->setFont(QFont());
}

void Interface::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (isEditingBlur()) {
            commitBlurEdit();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (isEditingBlur())
            cancelBlurEdit();
        else
            actionDeselect->trigger();
        return;
    default: break;
    }
    QMainWindow::keyPressEvent(event);
}

bool Interface::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseButtonPress && isEditingBlur() && widget != nullptr
        && widget->window() == this) {
        // The widget under the pointer, whichever parent the press has propagated to.
        const QPoint at = mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPos());
        const QWidget* pressed = childAt(at);
        const bool onBlurControl =
            pressed != nullptr
            && (pressed == sliderBlur || pressed == spinBlur || spinBlur->isAncestorOf(pressed));
        if (!onBlurControl)
            commitBlurEdit();
    }
    return QMainWindow::eventFilter(watched, event);
}

void Interface::changeLeftColor()
{
    const QColor chosen = chooseColor(leftColor);
    if (!chosen.isValid())
        return;
    leftColor = chosen;
    emit leftColorChanged(leftColor);
    renewSwatches();
}

void Interface::changeRightColor()
{
    const QColor chosen = chooseColor(rightColor);
    if (!chosen.isValid())
        return;
    rightColor = chosen;
    emit rightColorChanged(rightColor);
    renewSwatches();
}

void Interface::changeBucketColor()
{
    const QColor chosen = chooseColor(bucketColor);
    if (!chosen.isValid())
        return;
    bucketColor = chosen;
    emit bucketColorChanged(bucketColor);
    renewSwatches();
}

void Interface::changeControlPointLeftColor(QColor C)
{
    const QColor chosen = chooseColor(C);
    emit controlPointLeftColorChanged(chosen.isValid() ? chosen : C);
}

void Interface::changeControlPointRightColor(QColor C)
{
    const QColor chosen = chooseColor(C);
    emit controlPointRightColorChanged(chosen.isValid() ? chosen : C);
}

void Interface::changeBlur(int s)
{
    if (isEditingBlur()) {
        emit blurEditPreviewed(s);
        return;
    }
    blur = s;
    emit blurChanged(s);
}

// At least one colour side stays active: switching one off switches the other back on.
void Interface::activateCLeft(int state)
{
    if (state == Qt::Unchecked) {
        checkBoxRightColor->setChecked(true);
        emit activateCRightChanged(true);
        emit activateCLeftChanged(false);
    } else if (state == Qt::Checked) {
        emit activateCLeftChanged(true);
    }
}

void Interface::activateCRight(int state)
{
    if (state == Qt::Unchecked) {
        checkBoxLeftColor->setChecked(true);
        emit activateCLeftChanged(true);
        emit activateCRightChanged(false);
    } else if (state == Qt::Checked) {
        emit activateCRightChanged(true);
    }
}
