// The notification-area icon and the main menu, opened from the tray and
// from the ring's face with the real pointer, read while open and answered
// by a click on an entry.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/launcher.h"
#include "app/ringwnd.h"
#include "hintdlg/editdlg.h"
#include "leditor/clipboard_menu.h"
#include "tests/win/support/input.h"
#include "tests/win/support/message_boxes.h"
#include "tests/win/support/modal_driver.h"
#include "tests/win/support/ring_fixture.h"
#include "tests/win/support/run_key.h"

namespace {

// Whether the shell still holds the launcher's icon: only an icon it knows
// can be modified.
bool TrayIconPresent(HWND ring)
{
    NOTIFYICONDATAA icon = {};
    icon.cbSize = 88;
    icon.hWnd = ring;
    icon.uID = 1;
    icon.uFlags = NIF_TIP;
    lstrcpyA(icon.szTip, "Ta[V]en Software [Z] Rondel");
    return Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE;
}

// Posted, as the shell delivers its callbacks.
void TrayEvent(UINT mouseMessage)
{
    PostMessageA(ringWindow.window, UM_TRAYNOTIFY, 1, mouseMessage);
    PumpMessages(100);
}

// The trailer of the settings file: hideAfterLaunch, showAtStart, x, y.
char SavedHideByte(const std::string& file)
{
    return file.size() >= 10 ? file[file.size() - 10] : '?';
}

// Each item as "id text", read in UTF-16; a separator as "-".
std::vector<std::wstring> MenuLines(HMENU menu)
{
    std::vector<std::wstring> lines;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        wchar_t text[64] = L"";
        MENUITEMINFOW item = {sizeof item, MIIM_STRING | MIIM_ID | MIIM_FTYPE};
        item.dwTypeData = text;
        item.cch = ARRAYSIZE(text);
        GetMenuItemInfoW(menu, position, TRUE, &item);
        lines.push_back(item.fType & MFT_SEPARATOR ? L"-" : std::to_wstring(item.wID) + L" " + text);
    }
    return lines;
}

struct LanguageTexts {
    const char* value; // the user's "Language"
    std::vector<std::wstring> mainMenu, slotMenu, contextMenu;
    const wchar_t* cancel;
};

class MenuTest : public RingFixture {
protected:
    // A real right click on the disc in the middle of the face.
    void RightClickFace()
    {
        ClickAt(100, 100, RIGHT_BUTTON);
        PumpMessages(100);
    }
};

TEST_F(MenuTest, FaceAndTrayOpenTheSameMainMenuAtTheCursor)
{
    Start();
    MenuDriver fromFace;
    RightClickFace();
    ASSERT_TRUE(fromFace.opened());
    const UINT ids[] = {IDM_ABOUT, 0, IDM_AUTOSTART, IDM_NOHIDE, 0, IDM_EXIT, 0, IDM_SHOWHIDE};
    ASSERT_EQ(fromFace.items().size(), 8u);
    for (int position = 0; position < 8; ++position) {
        EXPECT_EQ(fromFace.items()[position].id, ids[position]) << position;
        if (ids[position])
            EXPECT_EQ(fromFace.items()[position].state & MF_GRAYED, 0u) << position;
    }
    EXPECT_EQ(fromFace.items()[3].state & MF_CHECKED, 0u); // hiding is on at a first start
    EXPECT_EQ(fromFace.topLeft().x, 100);
    EXPECT_EQ(fromFace.topLeft().y, 100);
    EXPECT_EQ(fromFace.menu(), launcher.mainMenu);

    MovePointerTo(400, 300);
    MenuDriver fromTray;
    TrayEvent(WM_RBUTTONUP);
    ASSERT_TRUE(fromTray.opened());
    EXPECT_EQ(fromTray.menu(), launcher.mainMenu);
    EXPECT_EQ(fromTray.topLeft().x, 400);
    EXPECT_EQ(fromTray.topLeft().y, 300);
    for (int position = 0; position < 8; ++position)
        EXPECT_EQ(fromTray.items()[position].state, fromFace.items()[position].state) << position;
    EXPECT_TRUE(IsWindowVisible(ringWindow.window)); // dismissed: nothing happened
}

TEST_F(MenuTest, EveryTextIdAndSeparatorInTheLanguageTheUserChose)
{
    const LanguageTexts languages[] = {
        {"ru",
         {L"40002 О программе", L"-", L"40004 Автостарт", L"40011 Не прятать", L"-", L"40003 Выход", L"-",
          L"40001 Показать/Скрыть"},
         {L"40006 Выбрать файл", L"40007 Рабочая папка", L"40009 Подсказка", L"40010 Очистить"},
         {L"100 Отмена\tCtrl+Z", L"101 Повторить\tCtrl+Shift+Z", L"-", L"103 Вырезать\tCtrl+X",
          L"102 Копировать\tCtrl+C", L"104 Вставить\tCtrl+V", L"105 Удалить\tDel", L"-",
          L"106 Выделить все\tCtrl+A"},
         L"Отмена"},
        {"en",
         {L"40002 About", L"-", L"40004 Start with Windows", L"40011 Don't hide", L"-", L"40003 Exit", L"-",
          L"40001 Show/Hide"},
         {L"40006 Choose file...", L"40007 Working folder...", L"40009 Hint...", L"40010 Clear"},
         {L"100 Undo\tCtrl+Z", L"101 Redo\tCtrl+Shift+Z", L"-", L"103 Cut\tCtrl+X", L"102 Copy\tCtrl+C",
          L"104 Paste\tCtrl+V", L"105 Delete\tDel", L"-", L"106 Select All\tCtrl+A"},
         L"Cancel"},
    };
    const char kLauncherKey[] = "Software\\Ta[V]en Software\\[Z] Rondel";
    UserValueGuard guard(kLauncherKey, "Language");
    for (const LanguageTexts& language : languages) {
        ASSERT_TRUE(WriteUserValue(kLauncherKey, "Language", REG_SZ, std::string(language.value, 3)));
        Start();
        EXPECT_EQ(MenuLines(launcher.mainMenu), language.mainMenu) << language.value;
        EXPECT_EQ(MenuLines(launcher.slotMenu), language.slotMenu) << language.value;
        HMENU context = BuildContextMenu();
        EXPECT_EQ(MenuLines(context), language.contextMenu) << language.value;
        DestroyMenu(context);
        wchar_t confirm[16] = L"", cancel[16] = L""; // as assistive tools read them
        InternalGetWindowText(editDlg.confirmButton, confirm, 16);
        InternalGetWindowText(editDlg.cancelButton, cancel, 16);
        EXPECT_STREQ(confirm, L"Ok");
        EXPECT_STREQ(cancel, language.cancel);
        StopTestLauncher();
    }
}

TEST_F(MenuTest, DoNotHideInvertsMarksAndSavesAtOnce)
{
    Start();
    {
        MenuDriver menu(IDM_NOHIDE);
        RightClickFace();
    }
    EXPECT_FALSE(launcherSettings.hideAfterLaunch);
    EXPECT_NE(GetMenuState(launcher.mainMenu, IDM_NOHIDE, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(SavedHideByte(ReadWholeFile(settings_)), 0);
    {
        MenuDriver menu(IDM_NOHIDE);
        TrayEvent(WM_RBUTTONUP);
        ASSERT_EQ(menu.items().size(), 8u);
        EXPECT_NE(menu.items()[3].state & MF_CHECKED, 0u);
    }
    EXPECT_TRUE(launcherSettings.hideAfterLaunch);
    EXPECT_EQ(GetMenuState(launcher.mainMenu, IDM_NOHIDE, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(SavedHideByte(ReadWholeFile(settings_)), 1);
}

TEST_F(MenuTest, TrayLeftClickTogglesTheRingAndOtherEventsDoNothing)
{
    Start();
    HWND ring = ringWindow.window;
    TrayEvent(WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(ring));
    for (UINT ignored : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MOUSEMOVE}) {
        TrayEvent(ignored);
        EXPECT_FALSE(IsWindowVisible(ring)) << ignored;
    }
    TrayEvent(WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(ring));
    // Each release of a double click counts.
    TrayEvent(WM_LBUTTONUP);
    TrayEvent(WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(ring));
    EXPECT_EQ(WindowRect(ring).left, 0);
}

TEST_F(MenuTest, ShowHideAndExitFromTheMenu)
{
    Start();
    HWND ring = ringWindow.window;
    {
        MenuDriver menu(IDM_SHOWHIDE);
        TrayEvent(WM_RBUTTONUP);
    }
    EXPECT_FALSE(IsWindowVisible(ring));
    {
        MenuDriver menu(IDM_EXIT);
        PostMessageA(ring, UM_TRAYNOTIFY, 1, WM_RBUTTONUP);
        // The launcher's own loop, until the quit that the closing ring
        // posts; a missed choice fails here instead of waiting for ever.
        UINT_PTR deadline = SetTimer(nullptr, 0, 10000, nullptr);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (message.message == WM_TIMER && message.wParam == deadline) {
                ADD_FAILURE() << "the ring did not close";
                break;
            }
            DispatchMessageA(&message);
        }
        KillTimer(nullptr, deadline);
        PostQuitMessage(0); // for the loop that stopping the launcher runs
    }
    EXPECT_FALSE(IsWindow(ring));
    EXPECT_FALSE(TrayIconPresent(ring));
    EXPECT_EQ(StopTestLauncher(), 0);
    EXPECT_FALSE(Saved().showAtStart);
}

TEST_F(MenuTest, TheTrayIconComesBackWhenTheTaskbarIsRecreated)
{
    Start();
    HWND ring = ringWindow.window;
    ASSERT_TRUE(TrayIconPresent(ring));
    // Explorer restarting loses every icon, then announces its new taskbar.
    NOTIFYICONDATAA lost = {};
    lost.cbSize = 88;
    lost.hWnd = ring;
    lost.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
    ASSERT_FALSE(TrayIconPresent(ring));
    SendMessageA(ring, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayIconPresent(ring));
}

TEST_F(MenuTest, AboutWithoutAReadmeDoesNothingVisible)
{
    Start();
    ASSERT_FALSE(FileExists(BesideTestExe("readme.txt")));
    MessageBoxAnswerer boxes;
    {
        MenuDriver menu(IDM_ABOUT);
        RightClickFace();
    }
    PumpMessages(500);
    EXPECT_TRUE(boxes.seen().empty());
    EXPECT_EQ(GetForegroundWindow(), ringWindow.window);
}

} // namespace
