// Icon and non-client metrics kept in a profile file, section "Metrics", as the
// byte image of the ANSI records: one decimal number per byte, single blanks.
#pragma once
#include <windows.h>
#include <cstddef>

namespace sysapply {

// The records are the 32-bit platform's: the later iPaddedBorderWidth is not part
// of the stored non-client record, so files move between architectures.
inline constexpr size_t kIconMetricsSize = 76;
inline constexpr size_t kNonClientMetricsSize = 340;

inline constexpr char kMetricsSection[] = "Metrics";
inline constexpr char kIconMetricsKey[] = "IconMetrics";
inline constexpr char kNonClientMetricsKey[] = "NonClientMetrics";

// Longest value text read from the file.
inline constexpr size_t kMetricsTextChars = 2047;

// Fills record (size bytes, cleared first) from one key of the file's "Metrics"
// section. A value longer than kMetricsTextChars is read by its beginning, and a
// number cut by that limit is dropped rather than read short.
void ReadMetricsRecord(const char* file, const char* key, void* record, size_t size) noexcept;

// Applies both records of the file: icon metrics saved without a broadcast, then
// non-client metrics saved and broadcast, so windows redraw once.
void ApplyMetricsFile(const char* file) noexcept;

// Writes the system's current icon and non-client metrics to the file's "Metrics"
// section. Returns false when the system or the file refused.
bool SaveCurrentMetrics(const char* file) noexcept;

}  // namespace sysapply
