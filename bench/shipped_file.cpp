// Figure 6: the shipped Quendral.exe, read as a file: its size and the DLLs it imports.
#include "bench/bench.h"
#include "harness/pe_image.h"

namespace quendral::bench {

void ShippedFileFigures(Report& report, const Settings& settings) {
    const std::vector<std::uint8_t> bytes = qt::FileBytes(settings.shipped);
    const qt::PeImage file = qt::ParsePeImage(bytes);
    if (!file.valid) throw std::runtime_error("cannot read " + Narrow(settings.shipped));
    report.Set("6a",
               Text("%s bytes (%.1f KB)", Grouped(bytes.size()).c_str(), bytes.size() / 1024.0),
               bytes.size() <= kSizeTarget);

    const auto joined = [](const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
        return text;
    };
    const std::vector<std::string> loaded = qt::LoadedDlls(file);
    const std::vector<std::string> foreign = qt::NotWindowsOwn(loaded);
    report.Set("6b",
               Text("%d: %s", static_cast<int>(loaded.size()), joined(loaded).c_str()) +
                   (foreign.empty() ? "" : "; not Windows' own: " + joined(foreign)),
               foreign.empty() && !loaded.empty());
    if (file.machine != IMAGE_FILE_MACHINE_I386) {
        report.notes.push_back(
            Text("Figure 6 read a file that is not a 32-bit (i386) program: machine 0x%04x.",
                 file.machine));
    }
}

}  // namespace quendral::bench
