#pragma once

#include "ScriptedDialogs.h"
#include "TempTree.h"
#include "platform/AppPaths.h"
#include "rename/MethodPanel.h"
#include "rename/RenamePanels.h"

#include <QApplication>
#include <QTest>

#include <memory>

// The nine panels over scripted dialogs and a temporary application folder.
struct PanelFixture
{
    PanelFixture()
        : paths(tree.mkdir(QStringLiteral("app")), tree.mkdir(QStringLiteral("data"))), panels(dialogs, paths)
    {
    }

    // Panel `index` shown as an active window, so clicks and the focus work.
    Rename::MethodPanel* shown(int index)
    {
        Rename::MethodPanel* panel = panels.panel(index);
        panel->show();
        QApplication::setActiveWindow(panel);
        if (!QTest::qWaitForWindowActive(panel))
            qWarning("panel %d did not become active", index);
        return panel;
    }

    template <typename W> W* control(int index, const QString& name)
    {
        return panels.panel(index)->findChild<W*>(name);
    }

    TempTree tree;
    ScriptedDialogs dialogs;
    Platform::AppPaths paths;
    Rename::RenamePanels panels;
};
