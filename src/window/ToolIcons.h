#pragma once

#include <QIcon>
#include <QImage>

// The design window's button icons, drawn here so that the program ships no icon files.
namespace ToolIcons {

enum class Command {
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    Delete,
    BringToFront,
    SendToBack,
    Lock,
    Unlock,
    NewDesign,
    OpenDesign,
    SaveDesign,
    SaveDesignAs
};

// The picture of a palette tool (an SKTTool number) or a command, `size` pixels square;
// unknown tools give a blank picture.
QImage toolImage(int tool, int size);
QImage commandImage(Command command, int size);

QIcon toolIcon(int tool);
QIcon commandIcon(Command command);

} // namespace ToolIcons
