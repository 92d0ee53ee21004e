#pragma once

#include "test_mouse_support.h"

#include "editor.h"

#include <QColor>
#include <QImage>
#include <QPushButton>

#include <memory>

// Makes and shows both windows of a fresh editor whose viewer asks its questions of a
// ScriptedDialogs (`dialogs`, owned by the viewer), and waits until its GL is ready.
inline void startScriptedEditor(std::unique_ptr<Editor>& editor, ScriptedDialogs*& dialogs)
{
    setLifetimeThreshold(0);
    editor = std::make_unique<Editor>();
    auto script = std::make_unique<ScriptedDialogs>();
    dialogs = script.get();
    editor->viewer.setDialogs(std::move(script));
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor->viewer));
    for (int i = 0; i < 200 && !editor->viewer.isGLReady(); ++i)
        QTest::qWait(20);
    ASSERT_TRUE(editor->viewer.isGLReady());
}

// The colour of a panel swatch: the middle pixel of its button's icon.
inline QColor swatchColor(const QPushButton* button)
{
    const QImage image = button->icon().pixmap(button->iconSize()).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}
