#include "command_line.h"

namespace samplesite {

namespace {

// Digits only: QString::toUInt would also take "+5", " 5" and "0x10".
std::optional<uint64_t> DecimalValue(const QString& text, uint64_t max)
{
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    uint64_t value = 0;
    for (const QChar c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c.unicode() - '0');
    }
    if (value > max)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<CommandLine> ParseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            result.help = true;
            continue;
        }
        const bool isPort = option == QLatin1String("--port");
        if (!isPort && option != QLatin1String("--seed"))
            return std::nullopt;
        if (i + 1 >= arguments.size())
            return std::nullopt;
        const auto value = DecimalValue(arguments[++i], isPort ? 65535u : 4294967295u);
        if (!value)
            return std::nullopt;
        if (isPort)
            result.port = static_cast<uint16_t>(*value);
        else
            result.seed = static_cast<uint32_t>(*value);
    }
    return result;
}

const char* UsageText()
{
    return "Usage: zorvane-sample-site [--port N] [--seed S]\n"
           "Serves a generated copy of the Zorvane site on 127.0.0.1 until SIGTERM or SIGINT.\n"
           "  --port N   port to listen on (default 0: the kernel picks one)\n"
           "  --seed S   seed of the generated pages (default 1)\n"
           "The first line of output is the base address, e.g. http://127.0.0.1:41234\n";
}

} // namespace samplesite
