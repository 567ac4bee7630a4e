// Putting the user's guide where the help viewer looks for it.
#include "resources/data/resource_data.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace
{
bool Fail(std::string* reason, const std::string& text)
{
    if (reason)
        *reason = text;
    return false;
}

bool SameText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text == std::string(ZentallyHelpText, ZentallyHelpTextSize);
}
} // namespace

bool InstallHelpFile(const std::string& filesDir, std::string* reason)
{
    namespace fs = std::filesystem;
    if (filesDir.empty())
        return Fail(reason, "no device folder to put the help file in");
    std::error_code error;
    fs::path folder = fs::path(filesDir) / "Windows";
    fs::create_directories(folder, error);
    if (error)
        return Fail(reason, "cannot make " + folder.string() + ": " + error.message());
    fs::path target = folder / "zentally.htc";
    if (SameText(target))
        return true;
    fs::path partial = folder / "zentally.htc.new";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(ZentallyHelpText, std::streamsize(ZentallyHelpTextSize));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(partial, error);
            return Fail(reason, "cannot write " + partial.string());
        }
    }
    fs::rename(partial, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        return Fail(reason,
                    "cannot put the help file at " + target.string() + ": " + error.message());
    }
    return true;
}
