#include "lab_plan.h"

#include <sstream>
#include <string_view>

namespace {

// The lines take com2 onwards: com1 stays unmapped, as the console's port.
constexpr unsigned kFirstLinePort = 2;

std::optional<LabLine> ParseLine(const std::string& text, unsigned port)
{
    std::vector<std::string> fields;
    std::istringstream in(text);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    if (fields.size() != 5)
        return std::nullopt;
    return LabLine{fields[0], fields[1], fields[2], fields[3], fields[4] == "-" ? "" : fields[4],
                   "com" + std::to_string(port)};
}

}  // namespace

std::optional<LabPlan> ParsePlan(int argc, char** argv)
{
    LabPlan plan;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view option = argv[i];
        if (option == "--line") {
            const auto line = ParseLine(argv[i + 1], kFirstLinePort + static_cast<unsigned>(plan.lines.size()));
            if (!line)
                return std::nullopt;
            plan.lines.push_back(*line);
        } else if (option == "--send-over") {
            plan.sendOver = argv[i + 1];
        } else if (option == "--console") {
            plan.console = argv[i + 1];
        } else {
            return std::nullopt;
        }
    }
    bool sendLineFound = plan.sendOver.empty();
    for (const LabLine& line : plan.lines)
        sendLineFound = sendLineFound || line.driver == plan.sendOver;
    if (argc % 2 == 0 || plan.lines.empty() || !sendLineFound)
        return std::nullopt;
    return plan;
}

std::string UnmappedPortOf(const std::string& tty)
{
    return "com" + std::to_string(std::stoul(tty.substr(std::string_view("ttyS").size())) + 1);
}
