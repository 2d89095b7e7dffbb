// The resources compiled into the launcher, read from the shipped executable.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/slots.h"
#include "res/resource.h"
#include "tests/win/support/launcher_run.h"

namespace {

class ResourcesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module_ = LoadLibraryExA(ShippedLauncherPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << ShippedLauncherPath();
    }
    static void TearDownTestSuite() { FreeLibrary(module_); }

    struct IconImage {
        int width, height, bitCount;
        bool operator==(const IconImage& o) const
        {
            return width == o.width && height == o.height && bitCount == o.bitCount;
        }
    };
    static std::vector<IconImage> IconGroup(int id)
    {
#pragma pack(push, 2)
        struct GroupEntry {
            BYTE width, height, colorCount, reserved;
            WORD planes, bitCount;
            DWORD bytes;
            WORD id;
        };
#pragma pack(pop)
        std::vector<IconImage> images;
        HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), RT_GROUP_ICON);
        if (!found)
            return images;
        const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module_, found)));
        WORD count = reinterpret_cast<const WORD*>(data)[2];
        const GroupEntry* entries = reinterpret_cast<const GroupEntry*>(data + 6);
        for (WORD i = 0; i < count; ++i) {
            // The colour depth as the image itself states it.
            HRSRC image = FindResourceA(module_, MAKEINTRESOURCEA(entries[i].id), RT_ICON);
            const BITMAPINFOHEADER* header =
                static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module_, image)));
            images.push_back({entries[i].width ? entries[i].width : 256, entries[i].height,
                              header->biBitCount});
        }
        return images;
    }
    static std::wstring ItemText(HMENU menu, int position)
    {
        wchar_t text[64] = L"";
        GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
        return text;
    }
    static std::string Version(const char* name)
    {
        std::string path = ShippedLauncherPath();
        DWORD ignored = 0, size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        std::vector<char> block(size);
        GetFileVersionInfoA(path.c_str(), 0, size, block.data());
        char* value = nullptr;
        UINT length = 0;
        std::string key = std::string("\\StringFileInfo\\041904b0\\") + name;
        if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length))
            return "<missing>";
        return std::string(value, length ? length - 1 : 0);
    }

    static HMODULE module_;
};
HMODULE ResourcesTest::module_ = nullptr;

TEST_F(ResourcesTest, IconGroupsHaveTheirSizesAndDepths)
{
    EXPECT_EQ(IconGroup(IDI_RING), (std::vector<IconImage>{{32, 32, 4}, {16, 16, 4}}));
    EXPECT_EQ(IconGroup(IDI_CONFIRM), (std::vector<IconImage>{{16, 16, 8}}));
    EXPECT_EQ(IconGroup(IDI_CANCEL), (std::vector<IconImage>{{32, 32, 4}}));
    HICON ring = LoadIconA(module_, MAKEINTRESOURCEA(IDI_RING));
    EXPECT_NE(ring, nullptr);
}

TEST_F(ResourcesTest, MainMenuItemsInOrder)
{
    HMENU resource = LoadMenuA(module_, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(ItemText(resource, 0), L"Main");
    HMENU menu = GetSubMenu(resource, 0);
    const int ids[] = {IDM_ABOUT, 0, IDM_AUTOSTART, IDM_NOHIDE, 0, IDM_EXIT, 0, IDM_SHOWHIDE};
    const wchar_t* texts[] = {L"О программе", L"", L"Автостарт", L"Не прятать", L"",
                              L"Выход", L"", L"Показать/Скрыть"};
    ASSERT_EQ(GetMenuItemCount(menu), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        if (ids[i] == 0) {
            EXPECT_TRUE(state & MF_SEPARATOR);
            continue;
        }
        EXPECT_EQ(GetMenuItemID(menu, i), static_cast<UINT>(ids[i]));
        EXPECT_EQ(ItemText(menu, i), texts[i]);
        EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED), 0u); // no marks in the resource
    }
    DestroyMenu(resource);
}

TEST_F(ResourcesTest, SlotMenuItemsInOrder)
{
    HMENU resource = LoadMenuA(module_, MAKEINTRESOURCEA(IDR_SLOT_MENU));
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(ItemText(resource, 0), L"vbutton");
    HMENU menu = GetSubMenu(resource, 0);
    const int ids[] = {IDM_CHOOSEFILE, IDM_WORKFOLDER, IDM_HINT, IDM_CLEAR};
    const wchar_t* texts[] = {L"Выбрать файл", L"Рабочая папка", L"Подсказка", L"Очистить"};
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(GetMenuItemID(menu, i), static_cast<UINT>(ids[i]));
        EXPECT_EQ(ItemText(menu, i), texts[i]);
    }
    DestroyMenu(resource);
}

TEST_F(ResourcesTest, VersionRecord)
{
    EXPECT_EQ(Version("Comments"), "");
    EXPECT_EQ(Version("CompanyName"), "Ta[V]en Software");
    EXPECT_EQ(Version("FileDescription"), "[Z] Rondel");
    EXPECT_EQ(Version("FileVersion"), "1.1.5.33");
    EXPECT_EQ(Version("InternalName"), "zrondel");
    EXPECT_EQ(Version("LegalTrademarks"), "");
    EXPECT_EQ(Version("OriginalFilename"), "zrondel.exe");
    EXPECT_EQ(Version("ProductName"), "Ta[V]en Software [Z] Rondel");
    EXPECT_EQ(Version("ProductVersion"), "1.1.5.33");

    std::string path = ShippedLauncherPath();
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00050021u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileOS, 0x40004u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(translation[0], 0x0419);
    EXPECT_EQ(translation[1], 0x04b0);
}

TEST_F(ResourcesTest, ManifestAsksForCommonControlsSix)
{
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(module_, found))),
                         SizeofResource(module_, found));
    // The processor the executable is built for, in both identities.
    const std::string processor =
        std::string("processorArchitecture=\"") + (sizeof(void*) == 8 ? "amd64" : "X86") + "\"";
    size_t first = manifest.find(processor);
    ASSERT_NE(first, std::string::npos) << processor;
    EXPECT_NE(manifest.find(processor, first + 1), std::string::npos) << "the controls' identity";
    for (const char* part :
         {"version=\"1.1.4.20\"",
          "name=\"TaVen_Software.ZRondel.zrondel.exe\"", "<description>ZRondel v1.1</description>",
          "name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
          "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\""})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

} // namespace
