// sysapplyctl as a user runs it: save the appearance, change it, put it back.
#include "sysapply/parse.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using sysapply_test::DistPath;
using sysapply_test::Metrics;
using sysapply_test::ScratchFile;

DWORD RunTool(const std::string& args, const std::string& dir) {
    std::string cmd = "\"" + DistPath("sysapplyctl.exe") + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;  // keep the usage text out of the test log
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, dir.c_str(), &si, &pi))
        return 0xDEAD;
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 0xDEAD;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

size_t CountOfNumbers(const char* file, const char* key) {
    char text[sysapply::kMetricsTextChars + 1];
    GetPrivateProfileStringA(sysapply::kMetricsSection, key, "", text, sizeof text, file);
    unsigned char bytes[400];
    return sysapply::ParseByteList(text, bytes, sizeof bytes);
}

class Sysapplyctl : public ::testing::Test {
protected:
    Metrics saved_ = Metrics::Current();
    ScratchFile file_{"fx-sysapplyctl.ini"};
    void TearDown() override { saved_.Apply(); }
};

std::string Value(const char* file, const char* key) {
    char text[sysapply::kMetricsTextChars + 1];
    GetPrivateProfileStringA(sysapply::kMetricsSection, key, "", text, sizeof text, file);
    return text;
}

// Each process keeps its own copy of the metrics it has read, so what the tool
// applied is looked at through the tool's own save, in a process of its own. A bare
// file name means the current folder, not the Windows folder where the profile
// functions would look.
TEST_F(Sysapplyctl, SavedAppearanceComesBack) {
    ScratchFile changedFile("fx-sysapplyctl-changed.ini");
    ScratchFile restoredFile("fx-sysapplyctl-restored.ini");
    ASSERT_EQ(RunTool("save fx-sysapplyctl.ini", file_.dir()), 0u);
    EXPECT_EQ(CountOfNumbers(file_.path(), sysapply::kIconMetricsKey), sysapply::kIconMetricsSize);
    EXPECT_EQ(CountOfNumbers(file_.path(), sysapply::kNonClientMetricsKey), sysapply::kNonClientMetricsSize);

    Metrics changed = saved_;
    reinterpret_cast<ICONMETRICSA*>(changed.icon.data())->iHorzSpacing += 20;
    reinterpret_cast<NONCLIENTMETRICSA*>(changed.nonClient.data())->iScrollHeight += 4;
    changed.Apply();
    ASSERT_EQ(RunTool("save fx-sysapplyctl-changed.ini", file_.dir()), 0u);
    for (const char* key : {sysapply::kIconMetricsKey, sysapply::kNonClientMetricsKey})
        ASSERT_NE(Value(changedFile.path(), key), Value(file_.path(), key)) << key;

    EXPECT_EQ(RunTool("metrics fx-sysapplyctl.ini", file_.dir()), 0u);
    ASSERT_EQ(RunTool("save fx-sysapplyctl-restored.ini", file_.dir()), 0u);
    for (const char* key : {sysapply::kIconMetricsKey, sysapply::kNonClientMetricsKey})
        EXPECT_EQ(Value(restoredFile.path(), key), Value(file_.path(), key)) << key;
}

TEST_F(Sysapplyctl, ExitCodes) {
    const struct {
        const char* args;
        DWORD code;
    } rows[] = {
        {"", 2}, {"bogus", 2}, {"metrics", 2}, {"save a b", 2}, {"colors extra", 2},
        {"metrics no-such-file.ini", 1}, {"notify", 0},
    };
    for (const auto& r : rows) EXPECT_EQ(RunTool(r.args, file_.dir()), r.code) << "sysapplyctl " << r.args;
}

}  // namespace
