#include "cli/system_io.h"
#include "core/text.h"

using namespace korvalis;

namespace {

int Main(std::vector<std::string> args)
{
    static cli::StopSignal stop;
    cli::StopOnInterrupt(stop);
    cli::CliIo io = cli::SystemIo();
    try {
        return cli::RunArguments(args, io, stop);
    } catch (const std::exception& e) {
        io.err(std::string("korvalis-cli: ") + e.what() + "\n");
        return cli::kExitFailed;
    }
}

}  // namespace

#ifdef _WIN32
// The wide arguments, so a folder named in another script arrives whole.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8FromWide(argv[i]));
    return Main(std::move(args));
}
#else
int main(int argc, char** argv) { return Main(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
