#include "online/CurlLibrary.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace tevo {
namespace {

TEST(CurlLibrary, LoadsLibcurlAndReportsWhatCannotBeUsed)
{
    const struct
    {
        const char* file;
        bool loaded;
        const char* phrase; // in the error
    } cases[] = {
        {CurlLibrary::kFileName, true, ""},
        {"libtevo-no-such-library.so.1", false, "libtevo-no-such-library.so.1"},
        // A library that loads but is not libcurl.
        {"libz.so.1", false, "不是可用的 libcurl"},
    };
    for (const auto& row : cases) {
        const CurlLibrary library(row.file);
        EXPECT_EQ(library.isLoaded(), row.loaded) << row.file << ": " << library.error();
        if (row.loaded) {
            EXPECT_EQ(library.initCode(), CURLE_OK) << row.file;
            EXPECT_TRUE(library.easyInit && library.easyCleanup && library.easySetopt &&
                        library.easyPerform && library.easyGetinfo && library.easyStrerror)
                << row.file;
            continue;
        }
        EXPECT_TRUE(library.error().contains(QString::fromUtf8(row.phrase)) &&
                    library.error().contains("libcurl4"))
            << row.file << ": " << library.error();
    }
}

TEST(CurlLibrary, IsNotLinkedIntoTheProgram)
{
    // Loaded or not, libcurl's functions are not in the program's global scope: a direct call
    // would link it, and it would be loaded and relocated at every start of the menu again.
    EXPECT_TRUE(CurlLibrary::process().isLoaded()) << CurlLibrary::process().error();
    EXPECT_EQ(::dlsym(RTLD_DEFAULT, "curl_easy_init"), nullptr);
    EXPECT_EQ(::dlsym(RTLD_DEFAULT, "curl_global_init"), nullptr);
}

} // namespace
} // namespace tevo
