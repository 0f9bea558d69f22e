// vornikal-soak: many Sends through the real dialog (offscreen) against the loopback plug, with a
// table of what a long session holds. Exits 1 when a Send lost bytes, overran its bound, kept the
// device, or the open descriptors changed.
//   vornikal-soak --loopback PATH [--sends N] [--sample-every K]
#include "dialog_driver.h"
#include "loopback_process.h"
#include "probe_dialog.h"
#include "config_home.h"
#include "soak_run.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace {

struct Options {
    std::string loopback;
    int sends = 10000;
    int sampleEvery = 1000;
};

std::optional<Options> ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view name = argv[i];
        if (name == "--loopback")
            options.loopback = argv[i + 1];
        else if (name == "--sends")
            options.sends = std::atoi(argv[i + 1]);
        else if (name == "--sample-every")
            options.sampleEvery = std::atoi(argv[i + 1]);
        else
            return std::nullopt;
    }
    if (argc % 2 == 0 || options.loopback.empty() || options.sends < 1 || options.sampleEvery < 1)
        return std::nullopt;
    return options;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const auto options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: %s --loopback PATH [--sends N] [--sample-every K]\n", argv[0]);
        return 2;
    }
    try {
        const ScopedConfigHome map;
        const LoopbackProcess plug(options->loopback, map.MapFolder());
        CProbeDialog dialog;
        SoakResult result;
        QTimer::singleShot(0, [&] {
            DialogDriver driver(dialog);
            result = RunSoak(driver, options->sends, options->sampleEvery);
            dialog.EndDialog(IDCANCEL);
        });
        dialog.DoModal();
        PrintSoakReport(result);
        return result.Passed() ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vornikal-soak: %s\n", error.what());
        return 1;
    }
}
