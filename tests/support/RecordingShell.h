#pragma once

#include "platform/Shell.h"

#include <QStringList>

// Records the desktop actions asked of it instead of launching anything.
class RecordingShell final : public Platform::Shell
{
public:
    bool openPath(const QString& path) override;
    bool showProperties(const QString& path, QWidget* owner) override;
    bool showHelp(const QString& helpFile, QWidget* owner) override;

    QStringList opened;
    QStringList properties;
    QStringList help;
    bool succeed = true;
};
