#include "sysapply/metrics.h"

#include "sysapply/parse.h"

#include <cstddef>
#include <cstring>

namespace sysapply {

static_assert(sizeof(ICONMETRICSA) == kIconMetricsSize, "icon metrics record");
static_assert(offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth) == kNonClientMetricsSize, "non-client record");
static_assert(sizeof(NONCLIENTMETRICSA) >= kNonClientMetricsSize, "non-client record");

void ReadMetricsRecord(const char* file, const char* key, void* record, size_t size) noexcept {
    auto* bytes = static_cast<unsigned char*>(record);
    std::memset(bytes, 0, size);
    if (!file || !*file) return;  // no file name would mean win.ini
    // One character more than is used tells a value that was cut.
    char text[kMetricsTextChars + 2];
    const DWORD n = GetPrivateProfileStringA(kMetricsSection, key, "", text, sizeof text, file);
    if (n > kMetricsTextChars) {
        // Keep the first kMetricsTextChars characters, but not a number cut in two.
        size_t end = kMetricsTextChars;
        if (text[end] != ' ')
            while (end > 0 && text[end - 1] != ' ') --end;
        text[end] = '\0';
    }
    ParseByteList(text, bytes, size);
}

void ApplyMetricsFile(const char* file) noexcept {
    ICONMETRICSA icon{};
    ReadMetricsRecord(file, kIconMetricsKey, &icon, kIconMetricsSize);
    SystemParametersInfoA(SPI_SETICONMETRICS, 0, &icon, SPIF_UPDATEINIFILE);

    NONCLIENTMETRICSA nonClient{};
    ReadMetricsRecord(file, kNonClientMetricsKey, &nonClient, kNonClientMetricsSize);
    SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, 0, &nonClient, SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
}

bool SaveCurrentMetrics(const char* file) noexcept {
    if (!file || !*file) return false;
    ICONMETRICSA icon{};
    icon.cbSize = kIconMetricsSize;
    NONCLIENTMETRICSA nonClient{};
    nonClient.cbSize = kNonClientMetricsSize;
    if (!SystemParametersInfoA(SPI_GETICONMETRICS, 0, &icon, 0) ||
        !SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &nonClient, 0))
        return false;
    char text[kMetricsTextChars + 1];
    return FormatByteList(reinterpret_cast<const unsigned char*>(&icon), kIconMetricsSize, text, sizeof text) &&
           WritePrivateProfileStringA(kMetricsSection, kIconMetricsKey, text, file) &&
           FormatByteList(reinterpret_cast<const unsigned char*>(&nonClient), kNonClientMetricsSize, text,
                          sizeof text) &&
           WritePrivateProfileStringA(kMetricsSection, kNonClientMetricsKey, text, file);
}

}  // namespace sysapply
