// "Folder List" shortcuts: saved beside the engine (here: beside this program, which
// stands in for the engine module), resolved back to the folder, and names that
// would leave the directory refused.
#include "folder_shortcuts.h"

#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>

#include "engine_state.h"
#include "fx/module_path.h"

using namespace engine;

namespace {

class FolderShortcuts : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[MAX_PATH];
        ASSERT_TRUE(fx::ModuleDirectory(g_engineModule, dir, sizeof dir));
        list = std::string(dir) + "Folder List";
        CreateDirectoryA(list.c_str(), nullptr);
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        target = std::string(temp) + "fx folder target";
        CreateDirectoryA(target.c_str(), nullptr);
    }
    void TearDown() override {
        for (const char* n : {"Target", "C", "Gone"}) DeleteFileA((list + "\\" + n + ".lnk").c_str());
        RemoveDirectoryA(list.c_str());
        RemoveDirectoryA(target.c_str());
    }
    static std::string PathOf(PCIDLIST_ABSOLUTE pidl) {
        char path[MAX_PATH] = "";
        if (pidl) SHGetPathFromIDListA(pidl, path);
        return path;
    }
    std::string list, target;
};

TEST_F(FolderShortcuts, SavedFolderComesBackAndASecondSaveReplacesIt) {
    PIDLIST_ABSOLUTE folder = ILCreateFromPathA(target.c_str());
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(SaveFolderShortcut("Target", folder), S_OK);
    EXPECT_EQ(GetFileAttributesA((list + "\\Target.lnk").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    PIDLIST_ABSOLUTE back = LoadFolderShortcut(nullptr, "Target");
    EXPECT_EQ(PathOf(back), target);
    CoTaskMemFree(back);

    PIDLIST_ABSOLUTE windows = ILCreateFromPathA("C:\\windows");
    EXPECT_EQ(SaveFolderShortcut("Target", windows), S_OK);
    back = LoadFolderShortcut(nullptr, "Target");
    EXPECT_STREQ(PathOf(back).c_str(), "C:\\windows");
    CoTaskMemFree(back);
    // A drive's name is its letter.
    EXPECT_EQ(SaveFolderShortcut("C", windows), S_OK);
    ILFree(windows);
    ILFree(folder);
}

TEST_F(FolderShortcuts, NamesThatLeaveTheDirectoryAreRefused) {
    PIDLIST_ABSOLUTE folder = ILCreateFromPathA(target.c_str());
    const std::string longName(MAX_PATH, 'n');
    for (const char* name : {"", ".", "..", "..\\..\\escape", "a/b", "C:", "x:\\evil", longName.c_str()}) {
        EXPECT_EQ(SaveFolderShortcut(name, folder), E_INVALIDARG) << name;
        EXPECT_EQ(LoadFolderShortcut(nullptr, name), nullptr) << name;
    }
    char dir[MAX_PATH];
    fx::ModuleDirectory(g_engineModule, dir, sizeof dir);
    EXPECT_EQ(GetFileAttributesA((std::string(dir) + "escape.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
    ILFree(folder);
}

TEST_F(FolderShortcuts, MissingDirectoryOrFileGivesFailureAndNone) {
    PIDLIST_ABSOLUTE folder = ILCreateFromPathA(target.c_str());
    EXPECT_EQ(LoadFolderShortcut(nullptr, "Never Saved"), nullptr);
    RemoveDirectoryA(list.c_str());
    EXPECT_TRUE(FAILED(SaveFolderShortcut("Target", folder)));
    EXPECT_EQ(LoadFolderShortcut(nullptr, "Target"), nullptr);
    ILFree(folder);
}

// A folder that has gone since it was saved: the link is resolved without user
// interface, and anything short of full success gives no folder.
TEST_F(FolderShortcuts, FolderThatHasGoneGivesNone) {
    const std::string gone = target + " gone";
    CreateDirectoryA(gone.c_str(), nullptr);
    PIDLIST_ABSOLUTE folder = ILCreateFromPathA(gone.c_str());
    ASSERT_EQ(SaveFolderShortcut("Gone", folder), S_OK);
    ILFree(folder);
    RemoveDirectoryA(gone.c_str());
    DWORD start = GetTickCount();
    PIDLIST_ABSOLUTE back = LoadFolderShortcut(nullptr, "Gone");
    EXPECT_LT(GetTickCount() - start, 5000u) << "resolving must not wait on a user";
    EXPECT_EQ(back, nullptr) << PathOf(back);
    CoTaskMemFree(back);
}

// Called from a thread that is already in the multithreaded apartment: the call
// still works and leaves the thread's COM as it found it.
TEST_F(FolderShortcuts, WorksOnAThreadWithCOMAlreadyStarted) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    PIDLIST_ABSOLUTE folder = ILCreateFromPathA(target.c_str());
    EXPECT_EQ(SaveFolderShortcut("Target", folder), S_OK);
    PIDLIST_ABSOLUTE back = LoadFolderShortcut(nullptr, "Target");
    EXPECT_EQ(PathOf(back), target);
    CoTaskMemFree(back);
    ILFree(folder);
    // Still initialised: one more CoInitializeEx only counts up.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
}

}  // namespace
