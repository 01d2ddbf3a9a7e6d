// Icon and non-client metrics from a metrics file reach SystemParametersInfo.
// Each test puts the session's metrics back afterwards.
#include "sysapply/metrics.h"
#include "sysapply/parse.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

using sysapply_test::Bytes;
using sysapply_test::InstalledApplier;
using sysapply_test::Metrics;
using sysapply_test::ScratchFile;

std::string Format(const Bytes& bytes) {
    char text[sysapply::kMetricsTextChars + 1];
    EXPECT_TRUE(sysapply::FormatByteList(bytes.data(), bytes.size(), text, sizeof text));
    return text;
}

// The record with a face name written at offset.
Bytes WithFace(Bytes record, size_t offset, const char* face) {
    std::fill(record.begin() + offset, record.begin() + offset + LF_FACESIZE, 0);
    std::copy(face, face + std::strlen(face), record.begin() + offset);
    return record;
}

constexpr size_t kIconFace = offsetof(ICONMETRICSA, lfFont) + offsetof(LOGFONTA, lfFaceName);
constexpr size_t kMessageFace = offsetof(NONCLIENTMETRICSA, lfMessageFont) + offsetof(LOGFONTA, lfFaceName);

// A hidden top-level window that notes the setting changes broadcast to it.
class SettingListener {
public:
    SettingListener() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "FxSysapplySettingListener";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        heard.clear();
    }
    SettingListener(const SettingListener&) = delete;
    SettingListener& operator=(const SettingListener&) = delete;
    ~SettingListener() { DestroyWindow(hwnd_); }
    explicit operator bool() const { return hwnd_ != nullptr; }
    static inline std::vector<WPARAM> heard;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_SETTINGCHANGE) heard.push_back(wp);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    HWND hwnd_ = nullptr;
};

class MetricsFile : public ::testing::Test {
protected:
    Metrics saved_ = Metrics::Current();
    ScratchFile file_{"fx-sysapply-metrics.ini"};

    void SetUp() override {
        ASSERT_TRUE(InstalledApplier().ok()) << "sysapply.dll not installed in " FX_DIST_DIR;
        ASSERT_EQ(saved_.icon[0], sysapply::kIconMetricsSize);
    }
    void TearDown() override { saved_.Apply(); }

    void Write(const char* key, const std::string& text) {
        ASSERT_TRUE(WritePrivateProfileStringA(sysapply::kMetricsSection, key, text.c_str(), file_.path()));
    }
    void Apply() { EXPECT_EQ(InstalledApplier().metrics(file_.path()), 1); }
};

TEST_F(MetricsFile, SavedFromTheSystemAndAppliedAgainChangesNothing) {
    ASSERT_TRUE(sysapply::SaveCurrentMetrics(file_.path()));
    Apply();
    const Metrics now = Metrics::Current();
    EXPECT_EQ(now.icon, saved_.icon);
    EXPECT_EQ(now.nonClient, saved_.nonClient);
}

TEST_F(MetricsFile, BothRecordsReachTheSystem) {
    Metrics changed = saved_;
    ICONMETRICSA* icon = reinterpret_cast<ICONMETRICSA*>(changed.icon.data());
    icon->iHorzSpacing += 16;
    icon->iVertSpacing += 8;
    NONCLIENTMETRICSA* nc = reinterpret_cast<NONCLIENTMETRICSA*>(changed.nonClient.data());
    nc->iScrollWidth += 3;
    nc->iMenuHeight += 2;
    Write(sysapply::kIconMetricsKey, Format(changed.icon));
    Write(sysapply::kNonClientMetricsKey, Format(changed.nonClient));
    SettingListener listener;
    ASSERT_TRUE(listener);
    Apply();
    const Metrics now = Metrics::Current();
    EXPECT_EQ(now.icon, changed.icon);
    EXPECT_EQ(now.nonClient, changed.nonClient);
    // Windows hear of it once, after both records are in place.
    EXPECT_EQ(SettingListener::heard, std::vector<WPARAM>{SPI_SETNONCLIENTMETRICS});
}

// Lists cut short: what is not in the list is zero; an empty list is refused by the
// system (its size field is 0), so nothing changes.
TEST_F(MetricsFile, ShortAndEmptyLists) {
    const Bytes iconTahoma = WithFace(saved_.icon, kIconFace, "Tahoma");
    const Bytes ncTahoma = WithFace(saved_.nonClient, kMessageFace, "Tahoma");
    const Bytes iconTa = WithFace(saved_.icon, kIconFace, "Ta");
    const Bytes ncTa = WithFace(saved_.nonClient, kMessageFace, "Ta");
    auto upTo = [](const Bytes& b, size_t n) { return Format(Bytes(b.begin(), b.begin() + n)); };
    auto doubleBlankAt = [](const Bytes& b, size_t n) {
        return Format(Bytes(b.begin(), b.begin() + n)) + "  " + Format(Bytes(b.begin() + n, b.end()));
    };
    struct Row {
        int line;
        std::string icon, nonClient;  // value texts; "-" leaves the key out
        Bytes wantIcon, wantNonClient;
    };
    const Row rows[] = {
        // Fewer numbers than the record: the face names end after "Ta".
        {__LINE__, upTo(iconTahoma, kIconFace + 2), upTo(ncTahoma, kMessageFace + 2), iconTa, ncTa},
        // A double blank ends the list there.
        {__LINE__, doubleBlankAt(iconTahoma, kIconFace + 2), doubleBlankAt(ncTahoma, kMessageFace + 2), iconTa, ncTa},
        // More numbers than the record: the rest is ignored.
        {__LINE__, Format(iconTa) + " 1 2 3", Format(ncTa) + " 9 9 9 9 9", iconTa, ncTa},
        {__LINE__, "", "", saved_.icon, saved_.nonClient},
        {__LINE__, "-", "-", saved_.icon, saved_.nonClient},
    };
    for (const Row& r : rows) {
        saved_.Apply();
        DeleteFileA(file_.path());
        if (r.icon != "-") Write(sysapply::kIconMetricsKey, r.icon);
        if (r.nonClient != "-") Write(sysapply::kNonClientMetricsKey, r.nonClient);
        Apply();
        const Metrics now = Metrics::Current();
        EXPECT_EQ(now.icon, r.wantIcon) << "row at line " << r.line;
        EXPECT_EQ(now.nonClient, r.wantNonClient) << "row at line " << r.line;
    }
}

TEST_F(MetricsFile, MissingFileChangesNothing) {
    EXPECT_EQ(InstalledApplier().metrics("C:\\no\\such\\folder\\metrics.ini"), 1);
    EXPECT_EQ(InstalledApplier().metrics(nullptr), 1);
    const Metrics now = Metrics::Current();
    EXPECT_EQ(now.icon, saved_.icon);
    EXPECT_EQ(now.nonClient, saved_.nonClient);
}

// The byte list: a part that is empty (a double blank, a blank at either end)
// ends it; bytes after the last number are left alone.
TEST(MetricsText, ByteLists) {
    const struct {
        const char* text;
        Bytes want;
    } rows[] = {
        {"1 2 3", {1, 2, 3}},          {"1 2  3", {1, 2}},     {"1 2 ", {1, 2}},
        {" 1 2", {}},                  {"", {}},               {"-1 300 +7 12ab", {255, 44, 7, 12}},
        {"1 2 3 4 5 6 7", {1, 2, 3, 4, 5}},  // no more than the record holds
        {"x 4", {0, 4}},
    };
    for (const auto& r : rows) {
        unsigned char out[6];
        std::fill(std::begin(out), std::end(out), 0xEE);
        const size_t n = sysapply::ParseByteList(r.text, out, 5);
        EXPECT_EQ(Bytes(out, out + n), r.want) << '"' << r.text << '"';
        EXPECT_TRUE(std::all_of(out + n, std::end(out), [](unsigned char b) { return b == 0xEE; }))
            << '"' << r.text << '"';
    }
}

// Values longer than the 2047 characters read: a number cut by the limit is
// dropped, one that ends exactly at it is kept.
TEST(MetricsText, LimitOfTheValueRead) {
    ScratchFile file("fx-sysapply-limit.ini");
    struct Row {
        int line;
        std::string text;
        Bytes want;
    };
    const std::string pad2040 = std::string(2040, '0') + "5 ";  // 2042 characters, one number
    const Row rows[] = {
        {__LINE__, pad2040 + "12345", {5, 57, 0}},          // 2047 characters: "12345" whole
        {__LINE__, pad2040 + "123456", {5, 0, 0}},          // cut at "12345": dropped
        {__LINE__, pad2040 + "1234 6 7", {5, 210, 0}},      // the blank after "1234" is character 2047
        {__LINE__, std::string(3000, '0') + "1 2", {0, 0, 0}},  // one number longer than the limit
        {__LINE__, "1 2 3 ", {1, 2, 3}},
    };
    for (const Row& r : rows) {
        ASSERT_TRUE(WritePrivateProfileStringA("Metrics", "IconMetrics", r.text.c_str(), file.path()));
        Bytes got(3, 0xEE);
        sysapply::ReadMetricsRecord(file.path(), "IconMetrics", got.data(), got.size());
        EXPECT_EQ(got, r.want) << "row at line " << r.line;
    }
}

}  // namespace
