// The help-text store: keys of folder items, look-up with the default, the move of a
// text when an item is renamed in place, and reading the label of an edit.
#include "help_text.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine_shared.h"
#include "engine_state.h"
#include "fx/text.h"

using namespace engine;

namespace {

TEST(FolderPart, FromTheFolderWindowsTitle) {
    struct Row { const char* title; const char* part; UINT cp; };
    const Row rows[] = {
        {"C:\\", "C", 1252},                          // drive root shown as its path
        {"a:\\", "a", 1252},
        {"Local Disk (C:)", "C", 1252},               // drive in brackets
        {"C:\\Windows\\System", "System", 1252},      // full path: last component
        {"C:\\Projects", "Projects", 1252},
        {"Projects", "Projects", 1252},               // folder name
        {"", "", 1252},
        {":Odd", ":Odd", 1252},                       // colon with nothing before it
        {"C:\\dir\\", "", 1252},                      // ends in a separator
        {"C:x", "C", 1252},
        // Code page 936: the trail byte of U+4E57 is 0x5C, which splits nothing.
        {"Data\x81\x5C", "Data\x81\x5C", 936},
        {"C:\\\xD7\xCA\xC1\xCF\\Plan\x81\x5C", "Plan\x81\x5C", 936},
        {"\xCA\xFD\xBE\xDD (E:)", "E", 936},
        // A double-byte character before the colon is one character.
        {"\xB4\xC5:", "\xB4\xC5", 936},
    };
    for (const Row& r : rows) {
        char out[kHelpKeySize];
        FolderPartOfTitle(r.title, out, sizeof out, r.cp);
        EXPECT_STREQ(out, r.part) << r.title;
    }
}

TEST(FolderPart, LongTitlesAndLabelsAreCutNotOverrun) {
    std::string title(300, 't');
    std::string label(300, 'l');
    char out[kHelpKeySize + 8];
    std::memset(out, '#', sizeof out);
    FolderHelpKey(("C:\\" + title).c_str(), label.c_str(), out, kHelpKeySize, 1252);
    EXPECT_EQ(std::strlen(out), kHelpKeySize - 1);
    EXPECT_EQ(out[kHelpKeySize], '#') << "written past the buffer";
    FolderHelpKey("C:\\Windows", "notepad.exe", out, kHelpKeySize, 1252);
    EXPECT_STREQ(out, "Windows\\notepad.exe");
    FolderHelpKey("C:\\", "autoexec.bat", out, kHelpKeySize, 1252);
    EXPECT_STREQ(out, "C\\autoexec.bat");
}

// A strings file of the test's own, and the engine's globals pointed at it.
class HelpTextStore : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[MAX_PATH];
        GetTempPathA(sizeof dir, dir);
        GetTempFileNameA(dir, "kvl", 0, file);
        Reset();
    }
    void TearDown() override { DeleteFileA(file); }

    // The file's first content, and the globals pointed at it.
    void Reset() {
        Write(
            "[ExHookDef]\r\ndefault=Default text\r\n"
            "[ExHook]\r\nNotes.txt=About the notes\r\nProjects\\Plan.doc=The plan\r\n"
            "C:\\Users\\Photos\\Cat.png=Full path key\r\n");
        fx::CopyText(g_stringsFilePath, file);
        g_shared = EngineShared{};
        fx::CopyText(g_shared.g_defaultHelpText, "Default text");
        g_labelBeforeEdit[0] = '\0';
    }

    void Write(const char* content) {
        HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(h, content, static_cast<DWORD>(std::strlen(content)), &n, nullptr);
        CloseHandle(h);
    }
    std::string Read(const char* key) {
        char text[kHelpTextSize];
        ReadHelpText(file, key, "<none>", text, sizeof text);
        return text;
    }

    char file[MAX_PATH] = "";
};

TEST_F(HelpTextStore, LookUpGivesTheItemsTextOrTheDefault) {
    struct Row { const char* key; const char* fallback; const char* text; };
    const Row rows[] = {
        {"Notes.txt", "Default text", "About the notes"},
        {"NOTES.TXT", "Default text", "About the notes"},  // keys compare without case
        {"Projects\\Plan.doc", "Default text", "The plan"},
        {"Photos", "Default text", "Default text"},
        {"Photos", "", ""},  // no default either: the bubble will show nothing
        {"", "Default text", "Default text"},
    };
    for (const Row& r : rows) {
        fx::CopyText(g_shared.g_defaultHelpText, r.fallback);
        LookUpHelpText(r.key);
        EXPECT_STREQ(g_shared.g_bubbleText, r.text) << r.key;
    }
    // The key may be the bubble text itself, as the hover code leaves it.
    fx::CopyText(g_shared.g_bubbleText, "Notes.txt");
    LookUpHelpText(g_shared.g_bubbleText);
    EXPECT_STREQ(g_shared.g_bubbleText, "About the notes");
}

TEST_F(HelpTextStore, LongKeysTextsAndDefaultsStayInTheirBuffers) {
    std::string longText(600, 'x');
    std::string content = "[ExHook]\r\nLong=" + longText + "\r\n";
    Write(content.c_str());
    g_shared.g_hotItem = 12345;  // the field after the texts
    std::memset(g_shared.g_defaultHelpText, 'd', sizeof g_shared.g_defaultHelpText);  // not terminated

    LookUpHelpText("Long");
    EXPECT_EQ(std::strlen(g_shared.g_bubbleText), kHelpTextSize - 1);
    std::string key(2000, 'k');
    LookUpHelpText(key.c_str());
    EXPECT_LT(std::strlen(g_shared.g_bubbleText), sizeof g_shared.g_bubbleText);
    EXPECT_EQ(g_shared.g_bubbleText[0], 'd');
    EXPECT_EQ(g_shared.g_hotItem, 12345);
}

TEST_F(HelpTextStore, RenameMovesTheTextToTheNewKey) {
    struct Row {
        const char* title;
        const char* oldLabel;
        const char* newLabel;
        bool moved;
        const char* oldKey;
        const char* newKey;
    };
    const Row rows[] = {
        {"Program Manager", "Notes.txt", "Ideas.txt", true, "Notes.txt", "Ideas.txt"},
        {"PROGRAM MANAGER", "Notes.txt", "Ideas.txt", true, "Notes.txt", "Ideas.txt"},
        {"Projects", "Plan.doc", "Plan 2.doc", true, "Projects\\Plan.doc", "Projects\\Plan 2.doc"},
        // The whole title is the prefix here: a full-path title does not find the
        // folder-part key, and nothing moves.
        {"C:\\Users\\Projects", "Plan.doc", "Plan 2.doc", false, "Projects\\Plan.doc", "C:\\Users\\Projects\\Plan 2.doc"},
        {"Program Manager", "Photos", "Pictures", false, "Photos", "Pictures"},  // no text to move
        {"Program Manager", "Notes.txt", "", false, "Notes.txt", ""},             // empty new label
        {"Program Manager", "", "Ideas.txt", false, "", "Ideas.txt"},             // no edit began
        {"Program Manager", "Notes.txt", "NOTES.TXT", true, "", "NOTES.TXT"},     // only the case changes
    };
    for (const Row& r : rows) {
        Reset();
        SCOPED_TRACE(testing::Message() << r.title << ": " << r.oldLabel << " -> " << r.newLabel);
        const std::string before = Read(r.oldKey);
        EXPECT_EQ(MoveHelpTextInFile(file, r.title, r.oldLabel, r.newLabel), r.moved);
        if (r.moved) {
            if (*r.oldKey) {
                EXPECT_EQ(Read(r.oldKey), "<none>") << "old key is gone";
            }
            EXPECT_NE(Read(r.newKey), "<none>");
        } else {
            if (*r.oldKey) {
                EXPECT_EQ(Read(r.oldKey), before) << "old key untouched";
            }
            if (*r.newKey) {
                EXPECT_EQ(Read(r.newKey), "<none>") << "no new key";
            }
        }
    }
}

// A window titled like the desktop with a view inside, as the rename sees them.
struct ViewInFrame {
    explicit ViewInFrame(const char* title) {
        parent = CreateWindowExA(0, "STATIC", title, WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        view = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 100, 100, parent, nullptr, nullptr, nullptr);
    }
    ~ViewInFrame() { DestroyWindow(parent); }
    HWND parent, view;
};

TEST_F(HelpTextStore, RenameThroughAnAddressThatCannotBeReadMovesNothing) {
    ViewInFrame desk("Program Manager");
    fx::CopyText(g_labelBeforeEdit, "Notes.txt");

    void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    VirtualFree(page, 0, MEM_RELEASE);
    for (const void* bad : {static_cast<const void*>(page), reinterpret_cast<const void*>(0x10)}) {
        MoveHelpText(desk.view, static_cast<const char*>(bad));
        EXPECT_EQ(Read("Notes.txt"), "About the notes");
    }
    MoveHelpText(desk.view, nullptr);
    EXPECT_EQ(Read("Notes.txt"), "About the notes");

    MoveHelpText(desk.view, "Ideas.txt");
    EXPECT_EQ(Read("Ideas.txt"), "About the notes");
    EXPECT_EQ(Read("Notes.txt"), "<none>");
}

TEST(CopyTextFromAddress, StopsAtUnreadableMemoryAndAtTheBuffersEnd) {
    // Two pages, the second one not readable.
    auto* pages = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old);
    char out[260];

    // A text that ends right before the unreadable page.
    std::memcpy(pages + 4096 - 6, "Label", 6);
    EXPECT_TRUE(CopyTextFromAddress(pages + 4096 - 6, out, sizeof out));
    EXPECT_STREQ(out, "Label");
    // One that runs into it.
    std::memset(pages + 4096 - 10, 'x', 10);
    EXPECT_FALSE(CopyTextFromAddress(pages + 4096 - 10, out, sizeof out));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(CopyTextFromAddress(pages + 4096, out, sizeof out));
    // A long one is cut to the buffer.
    std::memset(pages, 'y', 1000);
    pages[1000] = '\0';
    EXPECT_TRUE(CopyTextFromAddress(pages, out, sizeof out));
    EXPECT_EQ(std::strlen(out), 259u);
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST(LabelBeforeEdit, IsTheFirstSelectedItemsLabel) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_ICON, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_NE(list, nullptr);
    std::string longLabel(400, 'L');
    const char* labels[] = {"Notes.txt", "Projects", longLabel.c_str()};
    for (int i = 0; i < 3; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>(labels[i]);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    auto select = [&](int i, bool on) {
        LVITEMA st{};
        st.stateMask = LVIS_SELECTED;
        st.state = on ? LVIS_SELECTED : 0;
        SendMessageA(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&st));
    };

    fx::CopyText(g_labelBeforeEdit, "stale");
    NoteLabelBeforeEdit(list);
    EXPECT_STREQ(g_labelBeforeEdit, "") << "nothing selected";
    select(1, true);
    NoteLabelBeforeEdit(list);
    EXPECT_STREQ(g_labelBeforeEdit, "Projects");
    select(1, false);
    select(2, true);
    NoteLabelBeforeEdit(list);
    EXPECT_EQ(std::strlen(g_labelBeforeEdit), 259u);
    NoteLabelBeforeEdit(nullptr);
    EXPECT_STREQ(g_labelBeforeEdit, "");
    DestroyWindow(list);
}

}  // namespace
