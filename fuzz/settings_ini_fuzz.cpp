// set.ini as read from disk: any bytes load without crashing, and what was loaded saves and
// loads back the same, apart from what a file cannot hold.
#include "fuzz_support.h"
#include "settings/settings_file.h"

using namespace zelvo::settings;
using zelvo::fuzz::withoutLoneSurrogates;

namespace {

// A line break cannot be stored in a value: the writer turns each CR and LF into a space.
QString storable(QStringView value) {
    return withoutLoneSurrogates(value.toString().replace(u'\r', u' ').replace(u'\n', u' '));
}

SettingsData storable(const SettingsData& data) {
    SettingsData out{storable(data.user), storable(data.password), {}};
    for (const QStringView entry : data.entries) out.entries.append(storable(entry));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = zelvo::fuzz::bytesOf(data, size);
    const SettingsData loaded = decodeSettings(bytes);
    FUZZ_CHECK(loaded.entries.size() <= kMaxSavedEntries);

    const std::optional<QByteArray> saved = encodeSettings(loaded);
    FUZZ_CHECK(saved.has_value());
    const SettingsData reloaded = decodeSettings(*saved);
    FUZZ_CHECK(reloaded == storable(loaded));
    // A second save changes nothing: the file is a fixed point.
    FUZZ_CHECK(encodeSettings(reloaded) == saved);
    return 0;
}
