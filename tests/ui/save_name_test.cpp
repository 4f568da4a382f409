#include "ui/save_name.h"

#include <gtest/gtest.h>

TEST(SaveName, CompletesKeepsOrRefusesTheChosenName) {
    const QStringList pictures{"jpg", "png", "gif", "bmp"};
    struct Case {
        const char* chosen;
        int filter;
        const char* expected;  // "" = refused
    };
    const Case cases[] = {
        {"/d/t", 0, "/d/t.jpg"},     {"/d/t", 2, "/d/t.gif"},        {"/d/t", 3, "/d/t.bmp"},
        {"/d/t", 9, "/d/t.jpg"},     {"/d/t.", 1, "/d/t.png"},       {"/d/t.PNG", 0, "/d/t.PNG"},
        {"/d/t.gif", 0, "/d/t.gif"}, {"/d/v1.2/t", 1, "/d/v1.2/t.png"}, {"/d/t.tif", 0, ""},
        {"/d/t.jpeg", 0, ""},        {"/d/t.jpg.txt", 0, ""},        {"", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::resolveSaveName(c.chosen, pictures, c.filter).toStdString(), std::string(c.expected))
            << c.chosen << " / " << c.filter;

    const QStringList log{"zlg"};
    EXPECT_EQ(ui::resolveSaveName("/d/KR-9300_Log", log, 1), "/d/KR-9300_Log.zlg");  // "All Files" chosen
    EXPECT_EQ(ui::resolveSaveName("/d/a.ZLG", log, 0), "/d/a.ZLG");
    EXPECT_EQ(ui::resolveSaveName("/d/a.txt", log, 1), "");
}

TEST(SaveName, ListsTheExtensionsForTheRefusal) {
    EXPECT_EQ(ui::extensionList({"jpg", "png", "gif", "bmp"}), ".jpg, .png, .gif or .bmp");
    EXPECT_EQ(ui::extensionList({"zlg"}), ".zlg");
}
