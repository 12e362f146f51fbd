#include "engine/Data4.h"
#include "testsupport/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace kelo::engine {
namespace {

using testsupport::TempDir;

TableCipher::Key keyOf(unsigned char seed) {
    TableCipher::Key key{};
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<unsigned char>(seed + i * 7);
    return key;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class EncryptionTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto key = keyOf(1);
        ASSERT_TRUE(code.encryptInit(key.data(), key.size()));
        code.encryptFile(true);
        auto table = Data4::create(
            code, dir.file("secret.dbf"),
            {{"EMPNO", 'C', 19, 0}, {"PAY", 'N', 12, 2}, {"F", 'L', 1, 0}, {"NOTE", 'M', 4, 0}},
            {{"EmpNoTag", "UPPER(EMPNO)", "", false, false}});
        ASSERT_NE(table, nullptr) << code.errorText();
        EXPECT_TRUE(table->isEncrypted());
        for (const char* name : {"MWANAIDI", "BARAKA", "ZAWADI"}) {
            table->appendStart();
            table->blank();
            table->field("EMPNO")->assign(name);
            table->field("PAY")->assignDouble(987654.32);
            table->field("NOTE")->memoAssign(std::string("confidential note of ") + name);
            ASSERT_EQ(table->append(), r4success);
        }
    }

    TempDir dir;
    Code4 code;
};

TEST_F(EncryptionTest, RecordsAndMemosAreUnreadableOnDisk) {
    const std::string table = readAll(dir.file("secret.dbf"));
    const std::string memo = readAll(dir.file("secret.fpt"));
    for (const char* plain : {"MWANAIDI", "BARAKA", "987654.32"})
        EXPECT_EQ(table.find(plain), std::string::npos) << plain;
    EXPECT_EQ(memo.find("confidential"), std::string::npos);
    EXPECT_NE(table.find("EMPNO"), std::string::npos); // the header stays plain
}

TEST_F(EncryptionTest, SameKeyReadsBackWithTagsAndMemos) {
    Code4 other;
    const auto key = keyOf(1);
    other.encryptInit(key.data(), key.size());
    auto table = Data4::open(other, dir.file("secret.dbf"));
    ASSERT_NE(table, nullptr) << other.errorText();
    table->select(table->tag("EmpNoTag"));
    ASSERT_EQ(table->seek("ZAWADI"), r4success);
    EXPECT_EQ(table->field("NOTE")->str(), "confidential note of ZAWADI");
    EXPECT_DOUBLE_EQ(table->field("PAY")->getDouble(), 987654.32);
    table->field("PAY")->assignDouble(1);
    ASSERT_EQ(table->flush(), r4success);
    ASSERT_EQ(table->pack(), r4success);
    ASSERT_EQ(table->seek("ZAWADI"), r4success);
    EXPECT_DOUBLE_EQ(table->field("PAY")->getDouble(), 1);
}

TEST_F(EncryptionTest, WrongOrMissingKeyIsRefused) {
    Code4 wrong;
    const auto key = keyOf(2);
    wrong.encryptInit(key.data(), key.size());
    EXPECT_EQ(Data4::open(wrong, dir.file("secret.dbf")), nullptr);
    EXPECT_EQ(wrong.errorCode(), e4encrypt);
    Code4 none;
    EXPECT_EQ(Data4::open(none, dir.file("secret.dbf")), nullptr);
    EXPECT_EQ(none.errorCode(), e4encrypt);
    EXPECT_FALSE(none.encryptInit(key.data(), 16));
}

TEST_F(EncryptionTest, PlainTablesStillOpenWithAKeySet) {
    code.encryptFile(false);
    auto plain = Data4::create(code, dir.file("plain.dbf"), {{"A", 'C', 4, 0}});
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->isEncrypted());
    plain->appendStart();
    plain->field("A")->assign("open");
    plain->append();
    plain.reset();
    EXPECT_NE(readAll(dir.file("plain.dbf")).find("open"), std::string::npos);
}

TEST(TableCipherUnits, ShortAndLongUnitsRoundTripAndDiffer) {
    TableCipher cipher(keyOf(3), 42);
    for (std::size_t length : {1u, 5u, 15u, 16u, 17u, 399u}) {
        std::string data(length, 'a');
        std::string copy = data;
        cipher.encrypt(7, copy.data(), copy.size());
        EXPECT_NE(copy, data) << length;
        std::string other = data;
        cipher.encrypt(8, other.data(), other.size());
        EXPECT_NE(copy, other) << "units must not share a key stream, length " << length;
        cipher.decrypt(7, copy.data(), copy.size());
        EXPECT_EQ(copy, data) << length;
    }
}

} // namespace
} // namespace kelo::engine
