#include "ToolbarState.h"

#include "execute/UndoLogCleanup.h"
#include "execute/UndoRename.h"

namespace App {

ToolbarChange toolbarChange(ToolbarStep step, const ToolbarFacts& facts)
{
    ToolbarChange change;
    switch (step) {
    case ToolbarStep::StartUp:
        change.Undo = facts.undoFolderHasFiles;
        change.DeleteDocs = facts.undoFolderHasFiles;
        change.execute = false;
        change.ShowName = false;
        break;
    case ToolbarStep::TabSelected:
        change.ShowName = facts.method != 8 && facts.method != 9;
        if (facts.method == 8)
            change.execute = true;
        break;
    case ToolbarStep::FolderSelected:
        if (facts.method != 9)
            change.ShowName = true;
        break;
    case ToolbarStep::OptionChanged:
        change.ShowName = true;
        break;
    case ToolbarStep::Previewed:
        change.execute = true;
        change.ShowName = false;
        break;
    case ToolbarStep::AttributesApplied:
        change.execute = false;
        break;
    case ToolbarStep::AboutToAsk:
        if (!facts.undoFolderHasFiles)
            change.Undo = false;
        break;
    case ToolbarStep::Renamed:
        change.Undo = true;
        change.DeleteDocs = true;
        change.execute = false;
        break;
    case ToolbarStep::FolderToolRecorded:
        change.Undo = true;
        break;
    }
    return change;
}

ToolbarChange toolbarChange(const Execute::UndoOutcome& outcome)
{
    ToolbarChange change;
    if (outcome.result == Execute::UndoOutcome::Result::Done && !outcome.undoFolderHasFiles)
        change.execute = false;
    return change;
}

ToolbarChange toolbarChange(const Execute::ClearOutcome& outcome)
{
    ToolbarChange change;
    if (outcome.disableUndoButtons) {
        change.Undo = false;
        change.DeleteDocs = false;
    }
    return change;
}

} // namespace App
