#pragma once

#include <optional>

namespace Execute {
struct ClearOutcome;
struct UndoOutcome;
} // namespace Execute

namespace App {

// What one step of the program does to the toolbar buttons whose state
// changes: true enables, false disables, no value leaves the button as it is.
// ("使用说明" and "帮助" stay enabled at all times.)
struct ToolbarChange
{
    std::optional<bool> ShowName;   // "预览新文件名"
    std::optional<bool> execute;    // "执行重命名"
    std::optional<bool> Undo;       // "撤消重命名"
    std::optional<bool> DeleteDocs; // "删除重命名文档"
    bool operator==(const ToolbarChange&) const = default;
};

// The steps after which the toolbar changes.
enum class ToolbarStep
{
    StartUp,           // start-up, step 8: nothing chosen yet
    TabSelected,       // a method tab was selected, by the user or the program
    FolderSelected,    // a folder was chosen in the tree
    OptionChanged,     // an option of a method panel changed
    Previewed,         // the new names were copied into the list
    AttributesApplied, // method 8 set the attributes
    AboutToAsk,        // an execution of methods 0 to 7, before its question
    Renamed,           // an execution of methods 0 to 7 ran
    FolderToolRecorded // the folder tool wrote a record
};

// What the step needs to know of the window's state.
struct ToolbarFacts
{
    int method = 9;                  // CurrentMethod
    bool undoFolderHasFiles = false; // UndoFolderHasFiles(), read after the step
};

// The toolbar rules of the main window, in one place:
// - StartUp: "撤消重命名" and "删除重命名文档" follow undoFolderHasFiles;
//   "执行重命名" and "预览新文件名" are disabled.
// - TabSelected: "预览新文件名" is disabled on tabs 8 and 9, enabled on the
//   others; tab 8 enables "执行重命名".
// - FolderSelected: "预览新文件名" is enabled, except on tab 9.
// - OptionChanged: "预览新文件名" is enabled.
// - Previewed: "执行重命名" enabled, "预览新文件名" disabled.
// - AttributesApplied: "执行重命名" disabled.
// - AboutToAsk: "撤消重命名" disabled when the undo folder holds no file.
// - Renamed: "撤消重命名" and "删除重命名文档" enabled, "执行重命名" disabled.
// - FolderToolRecorded: "撤消重命名" enabled.
ToolbarChange toolbarChange(ToolbarStep step, const ToolbarFacts& facts = {});

// After an undo: "执行重命名" disabled when it ran to its end and the undo
// folder holds no file any more.
ToolbarChange toolbarChange(const Execute::UndoOutcome& outcome);
// After the undo records were moved to the trash: from the toolbar, with the
// undo folder now empty, "撤消重命名" and "删除重命名文档" disabled.
ToolbarChange toolbarChange(const Execute::ClearOutcome& outcome);

} // namespace App
