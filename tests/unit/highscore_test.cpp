// The high-score tables: ranking rules, their files, damaged files and safe saving.
#include <allegro.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/catalogue.h"
#include "persist/highscore.h"
#include "persist/save_file.h"
#include "persist/settings.h"
#include "test_env.h"

namespace {

namespace fs = std::filesystem;

HighScoreEntry entry(const char* name, uint32_t score)
{
    HighScoreEntry e{};
    std::strncpy(e.name, name, sizeof e.name - 1);
    e.score = score;
    return e;
}

HighScoreTable defaults()
{
    HighScoreTable t{};
    highscore_defaults(t);
    return t;
}

bool same_bytes(const HighScoreTable& a, const HighScoreTable& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}


// The 160 bytes of a table as the game's own writer puts them in a file.
std::string file_bytes(const HighScoreTable& t)
{
    highscore_save(t, "encoded.sav");
    PACKFILE* in = pack_fopen("encoded.sav", "rp");
    char bytes[160];
    const long got = in != nullptr ? pack_fread(bytes, sizeof bytes, in) : 0;
    if (in != nullptr)
        pack_fclose(in);
    std::remove("encoded.sav");
    return std::string(bytes, static_cast<size_t>(got));
}

class HighScoreFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        start_headless();
        settings = Settings{};
    }
    void TearDown() override { packfile_password(PACKFILE_PASSWORD); }
    ScratchDir dir;
};

}  // namespace

// ---- Ranking at the end of a game ----

TEST(HighScoreRanking, NewPlayerSeesXPlomtWithScoresFrom1000DownTo100)
{
    HighScoreTable t = defaults();
    for (int k = 0; k < HIGHSCORE_ROWS; ++k) {
        EXPECT_STREQ(t[k].name, "X Plomt") << "row " << k;
        EXPECT_EQ(t[k].score, 1000u - 100u * k) << "row " << k;
    }
}

TEST(HighScoreRanking, FilledTableSpacesScoresEvenlyAndKeepsAtMostTenLetters)
{
    HighScoreTable t{};
    highscore_fill(t, "Abcdefghijklmnop", 95, 7);  // step 8, bottom never reached
    for (int k = 0; k < HIGHSCORE_ROWS; ++k) {
        EXPECT_STREQ(t[k].name, "Abcdefghij");
        EXPECT_EQ(t[k].score, static_cast<uint32_t>(95 - 8 * k));
    }
}

TEST(HighScoreRanking, ScoreOf100ReachesTheDefaultTableAndTakesTheLastRow)
{
    HighScoreTable t = defaults();
    HighScoreEntry mine = entry("Ann", 100);
    ASSERT_TRUE(highscore_qualifies(t, mine));
    highscore_replace_lowest(t, mine);
    HighScoreTable expected = defaults();
    expected[9] = mine;
    EXPECT_TRUE(same_bytes(t, expected)) << "only row 9 changes, to the whole new entry";
    highscore_sort(t);
    EXPECT_TRUE(same_bytes(t, expected)) << "row 9 stays last after the sort";
}

TEST(HighScoreRanking, ScoresOf99And0DoNotReachTheDefaultTable)
{
    HighScoreTable t = defaults();
    EXPECT_FALSE(highscore_qualifies(t, entry("Ann", 99)));
    EXPECT_FALSE(highscore_qualifies(t, entry("Ann", 0)));
}

TEST(HighScoreRanking, EqualScoreEndsDirectlyBelowTheRowsThatAlreadyHoldIt)
{
    HighScoreTable t = defaults();
    t[6].score = 500;  // rows 5 and 6 both hold 500 now
    std::strcpy(t[6].name, "Older");
    HighScoreEntry mine = entry("Newest", 500);
    ASSERT_TRUE(highscore_qualifies(t, mine));
    highscore_replace_lowest(t, mine);
    highscore_sort(t);

    const char* names[HIGHSCORE_ROWS] = {"X Plomt", "X Plomt", "X Plomt", "X Plomt", "X Plomt",
                                         "X Plomt", "Older", "Newest", "X Plomt", "X Plomt"};
    const uint32_t scores[HIGHSCORE_ROWS] = {1000, 900, 800, 700, 600, 500, 500, 500, 300, 200};
    for (int k = 0; k < HIGHSCORE_ROWS; ++k) {
        EXPECT_STREQ(t[k].name, names[k]) << "row " << k;
        EXPECT_EQ(t[k].score, scores[k]) << "row " << k;
    }
}

TEST(HighScoreRanking, TieForLowestReplacesTheUpperRowAndKeepsTheOlderBelow)
{
    HighScoreTable t = defaults();
    t[8] = entry("Eighth", 100);
    t[9] = entry("Ninth", 100);
    HighScoreEntry mine = entry("Newest", 100);
    ASSERT_TRUE(highscore_qualifies(t, mine));
    highscore_replace_lowest(t, mine);
    EXPECT_STREQ(t[8].name, "Newest");
    EXPECT_STREQ(t[9].name, "Ninth");
    highscore_sort(t);
    EXPECT_STREQ(t[8].name, "Newest");
    EXPECT_STREQ(t[9].name, "Ninth");
}

TEST(HighScoreRanking, TableOfTenMillionOrMoreIsNeverChanged)
{
    HighScoreTable t{};
    highscore_fill(t, "Legend", 19000000, 9000000);  // 19,000,000 down to 10,000,000
    ASSERT_EQ(t[9].score, 10000000u);
    const HighScoreTable before = t;
    HighScoreEntry mine = entry("Upstart", 25000000);
    EXPECT_TRUE(highscore_qualifies(t, mine));
    highscore_replace_lowest(t, mine);
    EXPECT_TRUE(same_bytes(t, before));
}

TEST(HighScoreRanking, ScoresAreComparedAsUnsignedNumbers)
{
    // Above 2^31 a signed comparison would rank these rows last.
    HighScoreTable t = defaults();
    t[9] = entry("Huge", 3000000000u);
    highscore_sort(t);
    EXPECT_STREQ(t[0].name, "Huge");
    EXPECT_EQ(t[0].score, 3000000000u);
    EXPECT_EQ(t[9].score, 200u);
    EXPECT_TRUE(highscore_qualifies(t, entry("Big", 2500000000u)));
    EXPECT_FALSE(highscore_qualifies(t, entry("Small", 199)));
}

// ---- Files: first run, round trip ----

TEST_F(HighScoreFiles, FirstRunGivesEveryModeTheDefaultsAndQuittingWritesAllFiveFiles)
{
    load_saved_data();
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        ASSERT_NE(highscore_tables[mode], nullptr);
        EXPECT_TRUE(same_bytes(*highscore_tables[mode], defaults())) << "mode " << mode;
    }
    save_saved_data();
    for (const char* name : {"scores0.sav", "scores1.sav", "scores2.sav", "scores3.sav", "zorbl.sav"})
        EXPECT_TRUE(fs::is_regular_file(name)) << name;
    for (const auto& item : fs::directory_iterator(dir.path()))
        EXPECT_NE(item.path().extension(), ".tmp") << "left behind: " << item.path();
}

TEST_F(HighScoreFiles, TablesComeBackExactlyAsTheyWereSavedAndStayWithTheirMode)
{
    load_saved_data();
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        HighScoreTable& t = *highscore_tables[mode];
        highscore_fill(t, "Mode", 5000 * (mode + 1), 0);
        t[3] = entry("Zed", 4000000000u);
        t[3].padding = 0x5a;
    }
    HighScoreTable saved[MODE_COUNT];
    for (int mode = 0; mode < MODE_COUNT; ++mode)
        saved[mode] = *highscore_tables[mode];
    save_saved_data();

    for (int mode = 0; mode < MODE_COUNT; ++mode)
        highscore_defaults(*highscore_tables[mode]);
    load_saved_data();
    for (int mode = 0; mode < MODE_COUNT; ++mode)
        EXPECT_TRUE(same_bytes(*highscore_tables[mode], saved[mode])) << "mode " << mode;
}

TEST_F(HighScoreFiles, ScoreFileHoldsTheRowsInTheirFixedLayoutUnderThePassword)
{
    HighScoreTable t = defaults();
    t[0] = entry("Ann", 0x01020304);
    t[0].padding = 7;
    highscore_save(t, "scores0.sav");

    PACKFILE* in = pack_fopen("scores0.sav", "rp");
    ASSERT_NE(in, nullptr);
    char bytes[200];
    long got = pack_fread(bytes, sizeof bytes, in);
    pack_fclose(in);
    ASSERT_EQ(got, 160);
    EXPECT_EQ(std::string(bytes, 16), std::string("Ann\0\0\0\0\0\0\0\0\x07\x04\x03\x02\x01", 16));

    packfile_password(nullptr);
    EXPECT_EQ(pack_fopen("scores0.sav", "rp"), nullptr) << "the file must be enciphered";
}

TEST_F(HighScoreFiles, CurrentTableFollowsTheChosenModeAndAStrayModeReadsTheFirst)
{
    load_saved_data();
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        settings.game_mode = mode;
        EXPECT_EQ(&current_highscore_table(), highscore_tables[mode]);
    }
    for (int stray : {-1, 4, 255}) {
        settings.game_mode = stray;
        EXPECT_EQ(&current_highscore_table(), highscore_tables[0]) << "mode " << stray;
    }
}

// ---- Damaged files fall back to the defaults ----

TEST_F(HighScoreFiles, ShortTruncatedOrEmptyScoreFileGivesThatModeTheDefaults)
{
    HighScoreTable planted{};
    highscore_fill(planted, "Planted", 90000, 0);
    const std::string whole = file_bytes(planted);
    write_packed("scores0.sav", whole.substr(0, 159));
    write_packed("scores1.sav", "");
    write_packed("scores2.sav", whole.substr(0, 16));
    write_packed("scores3.sav", whole);
    // A packed file cut short on disk.
    std::string on_disk = read_file("scores3.sav");
    write_file("scores3.sav", on_disk.substr(0, on_disk.size() / 2));

    load_saved_data();
    for (int mode = 0; mode < MODE_COUNT; ++mode)
        EXPECT_TRUE(same_bytes(*highscore_tables[mode], defaults())) << "mode " << mode;
}

TEST_F(HighScoreFiles, SaveFilesThatAreNotRegularFilesReadAsMissingAtOnceAndAreReplaced)
{
    mkfifo("zorbl.sav", 0644);  // opening a pipe waits for a writer: the game hung
    mkfifo("scores0.sav", 0644);
    fs::create_directory("scores1.sav");
    fs::create_symlink("/dev/zero", "scores2.sav");
    alarm(20);  // a hang fails the test instead of stopping the run
    load_saved_data();
    alarm(0);
    EXPECT_EQ(settings.sample_volume, 200) << "the default settings";
    for (int mode = 0; mode < MODE_COUNT; ++mode)
        EXPECT_TRUE(same_bytes(*highscore_tables[mode], defaults())) << "mode " << mode;
    save_saved_data();
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("zorbl.sav")));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("scores0.sav")));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("scores2.sav")));
    EXPECT_TRUE(fs::is_directory("scores1.sav")) << "a folder is not ours to replace";
}

TEST_F(HighScoreFiles, TwoGamesSavingInOneFolderAtOnceEachSaveWhole)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    const char* mine = child == 0 ? "child" : "elder";
    int failed = 0;
    for (int i = 0; i < 100; ++i)
        failed += !save_packed_file("zorbl.sav", mine, 5);
    if (child == 0)
        _exit(failed == 0 ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(failed, 0) << "saves that found their temporary file taken over";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other game's saves failed";
    for (const auto& item : fs::directory_iterator(dir.path()))
        EXPECT_NE(item.path().extension(), ".tmp") << "left behind: " << item.path();
}

TEST_F(HighScoreFiles, TwoGamesAddingRowsToOneTableAtTheSameMomentLoseNoRow)
{
    // Round after round, in a fresh folder each, both games read the table,
    // enter a row and write it at once; they meet before each round (over a
    // pipe each way) and nothing orders them after.
    constexpr int ROUNDS = 40;
    for (int round = 0; round < ROUNDS; ++round)
        fs::create_directory("round" + std::to_string(round));
    int to_child[2], to_elder[2];
    ASSERT_EQ(pipe(to_child), 0);
    ASSERT_EQ(pipe(to_elder), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    const int meet_out = child == 0 ? to_elder[1] : to_child[1];
    const int meet_in = child == 0 ? to_child[0] : to_elder[0];
    const HighScoreEntry mine = child == 0 ? entry("Bea", 500) : entry("Al", 700);
    char token = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        if (write(meet_out, &token, 1) != 1 || read(meet_in, &token, 1) != 1)
            break;
        fs::current_path(fs::path(dir.path()) / ("round" + std::to_string(round)));
        load_saved_data();
        HighScoreTable& table = *highscore_tables[MODE_SHIFTER];
        highscore_replace_lowest(table, mine);
        highscore_sort(table);
        save_highscore_table(MODE_SHIFTER);
    }
    fs::current_path(dir.path());
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // The defaults 1000 to 100, each newcomer below the row it ties with.
    const char* expected[] = {"X Plomt", "X Plomt", "X Plomt", "X Plomt", "Al", "X Plomt", "X Plomt", "Bea",
                              "X Plomt", "X Plomt"};
    int lost = 0;
    for (int round = 0; round < ROUNDS; ++round) {
        HighScoreTable on_disk{};
        const std::string path = "round" + std::to_string(round) + "/scores2.sav";
        ASSERT_TRUE(highscore_load(on_disk, path.c_str())) << "round " << round;
        bool whole = on_disk[9].score == 300u;
        for (int row = 0; row < HIGHSCORE_ROWS; ++row)
            whole = whole && std::strcmp(on_disk[row].name, expected[row]) == 0;
        lost += !whole;
    }
    EXPECT_EQ(lost, 0) << "rounds of " << ROUNDS << " where one game's new row was lost to the other's";

    // Alone in its folder, a game writes its own new row over what it read,
    // and the row that gave way does not come back as another's.
    fs::current_path("round0");
    load_saved_data();
    HighScoreTable& table = *highscore_tables[MODE_SHIFTER];
    table[0] = entry("Cy", 2000);
    save_highscore_table(MODE_SHIFTER);
    HighScoreTable on_disk{};
    ASSERT_TRUE(highscore_load(on_disk, "scores2.sav"));
    EXPECT_STREQ(on_disk[0].name, "Cy");
    EXPECT_EQ(on_disk[1].score, 900u) << "the row the new one replaced came back";
    fs::current_path(dir.path());
}

TEST_F(HighScoreFiles, OversizedScoreFileUsesItsFirst160Bytes)
{
    HighScoreTable planted{};
    highscore_fill(planted, "Planted", 90000, 0);
    write_packed("scores2.sav", file_bytes(planted) + std::string(500, '\xff'));
    load_saved_data();
    EXPECT_TRUE(same_bytes(*highscore_tables[2], planted));
}

TEST_F(HighScoreFiles, NameWithoutEndIsShownAsItsFirstTenLetters)
{
    HighScoreTable planted = defaults();
    std::string bytes = file_bytes(planted);
    bytes.replace(0, 12, "ABCDEFGHIJKL");  // no zero byte in the name, padding 'L'
    write_packed("scores0.sav", bytes);
    load_saved_data();
    const HighScoreEntry& row = (*highscore_tables[0])[0];
    EXPECT_EQ(row.name[10], '\0');
    EXPECT_STREQ(row.name, "ABCDEFGHIJ");
    EXPECT_EQ(row.padding, 'L');
    EXPECT_EQ(row.score, 1000u);
}

TEST_F(HighScoreFiles, RandomBytesAndOtherPasswordsCountAsMissing)
{
    HighScoreTable planted{};
    highscore_fill(planted, "Planted", 90000, 0);
    std::mt19937 noise(1234);
    std::string junk;
    for (int i = 0; i < 300; ++i)
        junk.push_back(static_cast<char>(noise() & 0xff));
    write_file("scores0.sav", junk);
    write_file("scores1.sav", file_bytes(planted));           // plain, not packed
    write_packed("scores2.sav", file_bytes(planted), "other"); // another password
    write_packed("scores3.sav", file_bytes(planted), nullptr); // packed with no password
    write_packed("header.sav", "x");
    const std::string header = read_file("header.sav").substr(0, 4);
    for (int attempt = 0; attempt < 20; ++attempt) {
        // Random bytes behind a valid packfile header: a file of junk that
        // the packfile layer opens must still never crash the loader.
        std::string tail;
        for (int i = 0; i < 40 + attempt * 7; ++i)
            tail.push_back(static_cast<char>(noise() & 0xff));
        write_file("junk.sav", header + tail);
        HighScoreTable t = defaults();
        highscore_load(t, "junk.sav");
        for (const HighScoreEntry& row : t)
            EXPECT_LE(std::strlen(row.name), 10u);
    }
    load_saved_data();
    for (int mode = 0; mode < MODE_COUNT; ++mode)
        EXPECT_TRUE(same_bytes(*highscore_tables[mode], defaults())) << "mode " << mode;
}

// ---- Saving never costs the old table ----

class HighScoreSafeSaving : public HighScoreFiles {
protected:
    void SetUp() override
    {
        HighScoreFiles::SetUp();
        load_saved_data();
        for (int mode = 0; mode < MODE_COUNT; ++mode)
            highscore_fill(*highscore_tables[mode], "Old", 7000, 0);
        save_saved_data();
        for (int mode = 0; mode < MODE_COUNT; ++mode) {
            old_files[mode] = read_file(name(mode));
            highscore_fill(*highscore_tables[mode], "New", 8000, 0);
        }
    }
    static std::string name(int mode) { return "scores" + std::to_string(mode) + ".sav"; }
    HighScoreTable reloaded(int mode)
    {
        HighScoreTable t{};
        EXPECT_TRUE(highscore_load(t, name(mode).c_str()));
        return t;
    }
    std::string old_files[MODE_COUNT];
};

TEST_F(HighScoreSafeSaving, WhenTheTemporaryFileCannotBeMadeTheOldFileStaysWhole)
{
    fs::create_directory(temp_file_of("scores1.sav"));
    save_saved_data();
    EXPECT_EQ(read_file("scores1.sav"), old_files[1]);
    EXPECT_TRUE(fs::is_directory(temp_file_of("scores1.sav"))) << "not ours to remove";
    EXPECT_STREQ(reloaded(0)[0].name, "New") << "the other modes are still saved";
    EXPECT_STREQ(reloaded(2)[0].name, "New");
}

TEST_F(HighScoreSafeSaving, WhenTheFileNameIsTakenByAFolderTheFolderStaysAndNoTemporaryFileIsLeft)
{
    fs::remove("scores2.sav");
    fs::create_directory("scores2.sav");
    write_file("scores2.sav/keep", "x");
    save_saved_data();
    EXPECT_TRUE(fs::is_directory("scores2.sav"));
    EXPECT_EQ(read_file("scores2.sav/keep"), "x");
    EXPECT_FALSE(fs::exists(temp_file_of("scores2.sav")));
    EXPECT_STREQ(reloaded(3)[0].name, "New");
}

TEST_F(HighScoreSafeSaving, ADiskThatFillsUpMidWriteLeavesTheOldFileWhole)
{
    {
        DiskFillsAfter full(12);  // room for the packfile header and little more
        save_saved_data();
    }
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        EXPECT_EQ(read_file(name(mode)), old_files[mode]) << "mode " << mode;
        EXPECT_FALSE(fs::exists(temp_file_of(name(mode)))) << "the failed temporary file is removed";
    }

    save_saved_data();  // with room again, the new tables arrive
    EXPECT_STREQ(reloaded(0)[0].name, "New");
}

TEST_F(HighScoreSafeSaving, ATemporaryFileOnAnAlwaysFullDeviceLeavesTheOldFileWhole)
{
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    fs::create_symlink("/dev/full", temp_file_of("scores0.sav"));
    save_saved_data();
    EXPECT_EQ(read_file("scores0.sav"), old_files[0]);
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp_file_of("scores0.sav"))));
}

TEST_F(HighScoreSafeSaving, AnEarlierRunsLeftoverTemporaryFileDoesNotGetInTheWay)
{
    // A crashed run of another process, and one whose number this process now has.
    write_file("scores3.sav.1.tmp", "half a table from a run that crashed");
    write_file(temp_file_of("scores3.sav"), "half a table from a run that crashed");
    save_saved_data();
    EXPECT_STREQ(reloaded(3)[0].name, "New");
    EXPECT_FALSE(fs::exists(temp_file_of("scores3.sav")));
    EXPECT_EQ(read_file("scores3.sav.1.tmp"), "half a table from a run that crashed") << "not ours";
}
