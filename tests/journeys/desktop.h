// What a person does on the desktop around the launcher: menus chosen by
// keyboard, the tray icon found on the screen, files dropped from a file
// manager, and screenshots of what the screen showed.
#ifndef ZRONDEL_JOURNEYS_DESKTOP_H
#define ZRONDEL_JOURNEYS_DESKTOP_H

#include <windows.h>

#include <string>
#include <vector>

#include "tests/journeys/launcher_copy.h"

// Positions of entries, counted as the Down key counts them (separators are
// skipped), in the main menu and the slot menu.
enum MainMenuEntry { MENU_ABOUT = 1, MENU_AUTOSTART, MENU_NOHIDE, MENU_EXIT, MENU_SHOWHIDE };
enum SlotMenuEntry { MENU_CHOOSE_FILE = 1, MENU_WORK_FOLDER, MENU_HINT, MENU_CLEAR };

// Waits for the launcher's popup menu, walks down to the entry with the
// arrow key and presses Enter; false when no menu opened or it stayed.
bool ChooseFromMenu(const LauncherCopy& launcher, int entry);
// Whether the launcher's open popup menu looks, pixel for pixel, as a menu
// of the lines opened by this process at the same place: "-" a separator,
// "~" before a greyed entry's text. Both are closed after.
bool MenuShows(const LauncherCopy& launcher, const std::vector<std::wstring>& lines);

// The tray window Wine shows when no panel hosts the icons; it sits at the
// screen's top-left, over the ring's start position, so the journeys move it
// to the bottom-right corner, where a Windows taskbar keeps its icons.
HWND TrayWindow();
void MoveTrayToTheCorner();
// The middle of the first icon in the tray, found by its pixels; {-1, -1}
// when the tray shows none.
POINT TrayIconPoint();

// Types the text over all that the focused text box of the launcher's
// foreground window holds (Ctrl+A, Delete, the keys): whether the box then
// holds exactly the text. When the box takes the focus, Wine matches its
// key state to the X server's and so releases a modifier held through
// SendInput at that moment: a box that came out wrong is typed over again.
bool TypeOver(const char* text);

// Clicks a button of a dialog in the launcher's process where it is drawn.
void ClickDialogButton(HWND dialog, int id);
void ClickWindowMiddle(HWND window);
// The screen point in the middle of the window.
POINT Middle(HWND window);

// Drops the file on the screen point as a Linux file manager does, through
// the X server's drag and drop; false when the drop tool cannot be started.
// The tool's Linux path comes from ZRONDEL_XDND_DROP.
bool DropFileFromFileManager(POINT at, const std::string& path);
bool DropFileFromFileManager(POINT at, const wchar_t* path);

// Runs the command line (ASCII) in the second Wine prefix, as a second PC
// or session would, without waiting for it; false without one. The Wine
// command for that prefix comes from ZRONDEL_SECOND_WINE.
bool RunInSecondPrefix(const std::string& commandLine);
// Starts a Linux program, the path of which comes as a Linux path; waits up
// to `wait` ms for it to end.
bool RunLinuxProgram(const char* program, const std::wstring& arguments, DWORD wait);
// Maps the drive letter to the folder, as a stick plugged in, through a
// symlink in the Wine prefix's dosdevices folder; unmaps it for an empty
// folder. False when that cannot be done.
bool MapDrive(char letter, const std::wstring& folder);
// The Linux path of a Windows path (ASCII), as Wine maps its drives.
std::string UnixPathOf(const std::string& path);

// The whole screen at one moment, read once: pixel by pixel reads of the
// screen are slow under Wine.
class ScreenCapture {
public:
    ScreenCapture();
    COLORREF pixel(POINT at) const;
    // As a 24-bit BMP file.
    bool Save(const std::string& path) const;

private:
    int width_;
    int height_;
    int stride_;               // bytes per row, rows bottom-up as in a BMP
    std::vector<BYTE> pixels_; // blue, green, red per pixel
};

// Waits until the window has nothing left to paint and its pixels on the
// screen hold still, up to 2 s: whether they did.
bool AwaitDrawn(HWND window);

// Waits until the file holds bytes that differ from `before`, up to 5 s;
// its bytes.
std::string AwaitFileChange(const std::string& path, const std::string& before);

#endif
