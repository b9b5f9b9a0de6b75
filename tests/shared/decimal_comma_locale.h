// A process locale whose decimal point is a comma, for tests of text that must not follow it.
// Debian ships locale sources, not compiled locales, so this compiles de_DE into a private folder
// and makes it the process locale until it goes out of scope.
#pragma once

#include <locale.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace test_support {

class DecimalCommaLocale {
  public:
    DecimalCommaLocale()
        : directory_(std::filesystem::temp_directory_path() /
                     ("decimal-comma-locale-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(directory_);
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + directory_.string() + "/de_DE.UTF-8' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return;
        setenv("LOCPATH", directory_.c_str(), 1);
        active_ = setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~DecimalCommaLocale() {
        setlocale(LC_ALL, "C");
        unsetenv("LOCPATH");
        std::filesystem::remove_all(directory_);
    }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    // False when localedef could not build the locale; the caller then skips.
    bool active() const { return active_; }

  private:
    std::filesystem::path directory_;
    bool active_ = false;
};

}  // namespace test_support
