#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "klotz/Catalogue.h"
#include "support/TestSupport.h"

namespace {

using Names = std::vector<std::string>;

class CatalogueList : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::ScopedChdir here{dir.path()};
    klotz::KlotzCatalogue catalogue;

    std::string load() {
        std::ostringstream out;
        klotz::loadCatalogueList(catalogue, out);
        return out.str();
    }
};

TEST_F(CatalogueList, WordsInFileOrderWhateverTheWhiteSpace) {
    for (const char* text : {"red blue\ngreen", "red blue\ngreen\n", "  red\tblue \r\n\n green \t"}) {
        dir.write("tumbalon_all.cfg", text);
        EXPECT_EQ(load(), "") << text;
        EXPECT_EQ(catalogue.catalogueNames, (Names{"red", "blue", "green"})) << text;
    }
}

TEST_F(CatalogueList, OverLongNamesAreRefusedNotCut) {
    const std::string longest(99, 'a');
    const std::string tooLong(100, 'b');
    dir.write("tumbalon_all.cfg", "red " + tooLong + "\n" + longest + " blue\n");
    const std::string console = load();
    EXPECT_EQ(catalogue.catalogueNames, (Names{"red", longest, "blue"}));
    EXPECT_NE(console.find("\"tumbalon_all.cfg\" line 1: the name \"" + tooLong + "\" is longer than 99 characters"),
              std::string::npos)
        << console;
}

TEST_F(CatalogueList, MissingOrEmptyListIsReportedOnce) {
    const std::string folder = std::filesystem::current_path().string();
    const std::string missing = load();
    EXPECT_TRUE(catalogue.catalogueNames.empty());
    EXPECT_EQ(missing, "\nWARNING: can not open the catalogue list \"tumbalon_all.cfg\" in \"" + folder +
                           "\"; running with no klotz types\n");

    dir.write("tumbalon_all.cfg", " \n\t\n");
    const std::string empty = load();
    EXPECT_TRUE(catalogue.catalogueNames.empty());
    EXPECT_EQ(empty, "\nWARNING: the catalogue list \"tumbalon_all.cfg\" in \"" + folder +
                         "\" names no klotz type; running with no klotz types\n");

    std::ostringstream out;
    klotz::loadKloetze(catalogue, out);
    EXPECT_EQ(catalogue.typeCount(), 0);
    EXPECT_FALSE(catalogue.validType(0));
    EXPECT_EQ(out.str(), "");
}

TEST_F(CatalogueList, LoadKloetzeBuildsEveryTypeInOrder) {
    dir.write("tumbalon_all.cfg", "tri\nnone\n");
    dir.write("tri.obj", "v 0 0 0\nv 50 0 0\nv 0 50 0\nf 1 2 3\n");
    load();
    std::ostringstream out;
    klotz::loadKloetze(catalogue, out);
    EXPECT_EQ(out.str(),
              "\nloading .obj-file tri.obj\n"
              "vertices: 3, vertex-normals: 3, faces: 1, face-normals: 1\n"
              "\ngenerating .klotz-file tri.klotz\n"
              "Can not open object File \"none.obj\" !\n");
    ASSERT_EQ(catalogue.typeCount(), 2);
    EXPECT_EQ(catalogue.klotzTypes[0].name, "tri");
    EXPECT_EQ(catalogue.klotzTypes[0].mesh.faceCount, 1);
    EXPECT_EQ(catalogue.klotzTypes[1].name, "none");
    EXPECT_TRUE(catalogue.klotzTypes[1].mesh.empty());
    EXPECT_EQ(catalogue.typeDisplayLists, (std::vector<int>{0, 0}));
    EXPECT_TRUE(catalogue.validType(1));
    EXPECT_FALSE(catalogue.validType(2));
    EXPECT_FALSE(catalogue.validType(-1));
}

// A name is the base of files read and written; one with a '/' could reach
// anywhere, and its bytes go into messages.
TEST_F(CatalogueList, NamesWithASlashAreRefusedAndEchoedHarmlessly) {
    dir.write("tumbalon_all.cfg", "red\n../../etc/x /abs\ngreen\n");
    const std::string console = load();
    EXPECT_EQ(catalogue.catalogueNames, (Names{"red", "green"}));
    EXPECT_NE(console.find("\nWARNING: \"tumbalon_all.cfg\" line 2: the name \"../../etc/x\" contains '/'"),
              std::string::npos)
        << console;
    EXPECT_NE(console.find("line 2: the name \"/abs\" contains '/'"), std::string::npos) << console;
}

// Type names reach the console and the window raw (the run summary, the
// simulator's last_on=): one that would steer the terminal is left out,
// named escaped, and the types after it keep loading.
TEST_F(CatalogueList, NamesWithControlCharactersAreRefused) {
    dir.write("tumbalon_all.cfg", "red gr\x1b[2Jeen\nbl\x9b" "31mue kurve_\xc3\xbc\ncs\xc2\x9bi pink\n");
    const std::string console = load();
    EXPECT_EQ(catalogue.catalogueNames, (Names{"red", "kurve_\xc3\xbc", "pink"}));
    EXPECT_EQ(console.find('\x1b'), std::string::npos) << console;
    EXPECT_EQ(console.find('\x9b'), std::string::npos) << console;
    EXPECT_NE(console.find("\nWARNING: \"tumbalon_all.cfg\" line 1: the name \"gr\\x1b[2Jeen\" contains control "
                           "characters; type left out\n"),
              std::string::npos)
        << console;
    EXPECT_NE(console.find("line 2: the name \"bl\\x9b31mue\" contains control characters"), std::string::npos)
        << console;
    EXPECT_NE(console.find("line 3: the name \"cs\\xc2\\x9bi\" contains control characters"), std::string::npos)
        << console;
}

}  // namespace
