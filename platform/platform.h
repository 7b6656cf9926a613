#pragma once

class Clipboard;
class Dialogs;
class FileSystem;
class Shell;

// The operating system's services as the windows receive them.
struct Platform
{
    Dialogs &dialogs;
    Shell &shell;
    Clipboard &clipboard;
    FileSystem &files;
};
