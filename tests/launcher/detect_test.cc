#include "launcher/detect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace rq700 {
namespace {

// Answers queries from a table keyed by path and remembers the order it was asked in.
class ScriptedQueries : public DeviceQueries {
 public:
  struct Answer {
    QueryResult result = QueryResult::kFailed;
    std::string version = "2.0.0";
  };

  QueryResult NormalModeQuery(const std::string& path, DeviceRecord* record) override {
    asked.push_back("normal " + path);
    return Reply(path, record);
  }
  QueryResult UpdateModeQuery(const std::string& path, DeviceRecord* record) override {
    asked.push_back("update " + path);
    return Reply(path, record);
  }

  std::map<std::string, Answer> answers;
  std::vector<std::string> asked;

 private:
  QueryResult Reply(const std::string& path, DeviceRecord* record) {
    const Answer answer = answers[path];
    if (answer.result == QueryResult::kAnswered) {
      record->version_text.fill(0);
      std::memcpy(record->version_text.data(), answer.version.data(),
                  std::min<size_t>(answer.version.size(), 7));
    }
    return answer.result;
  }
};

DeviceEntry Entry(const std::string& path, uint16_t product, uint16_t release = 0x00C8,
                  uint16_t vendor = 0x0483) {
  return DeviceEntry{path, vendor, product, release};
}

TEST(DetectTest, NothingMatchingMeansNoDevice) {
  ScriptedQueries queries;
  DeviceRecord record;
  EXPECT_EQ(Detect({}, queries, &record).result, Detection::kNone);

  // Another vendor's devices, even with the RQ700's product IDs, are never asked.
  const std::vector<DeviceEntry> others = {Entry("/dev/hidraw0", 0x5703, 0x00C8, 0x046D),
                                           Entry("/dev/hidraw1", 0x5750, 0x00C8, 0x1234)};
  EXPECT_EQ(Detect(others, queries, &record).result, Detection::kNone);
  EXPECT_TRUE(queries.asked.empty());
}

TEST(DetectTest, SilentNormalModeDeviceIsPassedOverForTheNextOne) {
  ScriptedQueries queries;
  queries.answers["a"] = {QueryResult::kFailed};
  queries.answers["b"] = {QueryResult::kAnswered, "2.0.0"};
  DeviceRecord record;
  const DetectOutcome outcome =
      Detect({Entry("a", 0x5703), Entry("b", 0x5703), Entry("c", 0x5703)}, queries, &record);
  EXPECT_EQ(outcome.result, Detection::kNormalMode);
  EXPECT_EQ(record.device_path, "b");
  EXPECT_EQ(record.product_id, 0x5703);
  EXPECT_EQ(queries.asked, (std::vector<std::string>{"normal a", "normal b"}));
}

TEST(DetectTest, SilentUpdateModeDeviceEndsTheWalk) {
  ScriptedQueries queries;
  queries.answers["u"] = {QueryResult::kFailed};
  queries.answers["n"] = {QueryResult::kAnswered};
  DeviceRecord record;
  EXPECT_EQ(Detect({Entry("u", 0x5750), Entry("n", 0x5703)}, queries, &record).result,
            Detection::kNone);
  EXPECT_EQ(queries.asked, (std::vector<std::string>{"update u"}));
}

TEST(DetectTest, AnsweringUpdateModeDeviceWins) {
  ScriptedQueries queries;
  queries.answers["x"] = {QueryResult::kFailed};
  queries.answers["u"] = {QueryResult::kAnswered};
  DeviceRecord record;
  EXPECT_EQ(Detect({Entry("x", 0x5703), Entry("u", 0x5750)}, queries, &record).result,
            Detection::kUpdateMode);
  EXPECT_EQ(record.device_path, "u");
  EXPECT_EQ(record.product_id, 0x5750);
}

TEST(DetectTest, OtherReleaseOrProductIsIgnoredInBothModes) {
  ScriptedQueries queries;
  queries.answers["n"] = {QueryResult::kAnswered};
  queries.answers["u"] = {QueryResult::kAnswered};
  queries.answers["p"] = {QueryResult::kAnswered};
  DeviceRecord record;
  EXPECT_EQ(Detect({Entry("n", 0x5703, 0x00C9), Entry("u", 0x5750, 0x0100), Entry("p", 0x5704)},
                   queries, &record)
                .result,
            Detection::kNone);
  EXPECT_TRUE(queries.asked.empty());
}

TEST(DetectTest, DeviceThisUserMayNotOpenIsNamed) {
  ScriptedQueries queries;
  queries.answers["/dev/hidraw3"] = {QueryResult::kAccessDenied};
  DeviceRecord record;
  DetectOutcome outcome = Detect({Entry("/dev/hidraw3", 0x5703)}, queries, &record);
  EXPECT_EQ(outcome.result, Detection::kNone);
  EXPECT_EQ(outcome.denied_path, "/dev/hidraw3");

  // A usable device found later takes over: nothing to complain about.
  queries.answers["emu:/tmp/x"] = {QueryResult::kAnswered};
  outcome = Detect({Entry("/dev/hidraw3", 0x5703), Entry("emu:/tmp/x", 0x5703)}, queries, &record);
  EXPECT_EQ(outcome.result, Detection::kNormalMode);
  EXPECT_TRUE(outcome.denied_path.empty());

  outcome = Detect({Entry("/dev/hidraw3", 0x5750)}, queries, &record);
  EXPECT_EQ(outcome.result, Detection::kNone);
  EXPECT_EQ(outcome.denied_path, "/dev/hidraw3");
}

TEST(VersionGateTest, OnlyTheExactVersionPasses) {
  DeviceRecord record;
  auto with = [&](const char* text) {
    record.version_text.fill(0);
    std::memcpy(record.version_text.data(), text, std::strlen(text));
    return VersionAccepted(record);
  };
  EXPECT_TRUE(with("2.0.0"));
  EXPECT_FALSE(with("2.0.1"));
  EXPECT_FALSE(with("1.9.9"));
  EXPECT_FALSE(with("3.0.0"));
  EXPECT_FALSE(with("2.0.0a"));
  EXPECT_FALSE(with("2.0."));
  EXPECT_FALSE(with(""));
}

TEST(QueryReportTest, FixedReportsAndAnswerPlaces) {
  uint8_t report[65];
  BuildNormalQueryReport(report);
  const uint8_t query[] = {0, 9, 0xAA, 0x55, 0x03, 0x00, 0x84, 0x00, 0x00, 0xF6, 0xB7};
  EXPECT_EQ(std::memcmp(report, query, sizeof(query)), 0);
  for (size_t i = sizeof(query); i < 65; ++i) EXPECT_EQ(report[i], 0) << i;

  BuildIdentityRequestReport(report);
  const uint8_t identity[] = {0, 8, 0xAA, 0x55, 0x02, 0x00, 0x00, 0x00, 0x12, 0x97};
  EXPECT_EQ(std::memcmp(report, identity, sizeof(identity)), 0);

  BuildWakeUpReport(report);
  EXPECT_EQ(report[1], 8);
  for (size_t i = 2; i < 65; ++i) EXPECT_EQ(report[i], 0) << i;

  // Version at report bytes 8-12, model at 13-23; whatever follows is not model text.
  uint8_t answer[65] = {};
  std::memcpy(answer + 8, "1.9.9ZORVA_RQ700XYZ", 19);
  DeviceRecord record;
  record.version_text.fill('#');
  EXPECT_TRUE(TakeNormalModeAnswer(answer, &record));
  EXPECT_EQ(record.Version(), "1.9.9");
  EXPECT_EQ(record.Model(), "ZORVA_RQ700");
  std::memcpy(answer + 13, "ZORVA_RQ701", 11);
  EXPECT_FALSE(TakeNormalModeAnswer(answer, &record));

  // Update mode: 32 model bytes from report byte 7, the version after "_V".
  uint8_t reply[65] = {};
  std::memcpy(reply + 7, "ZORVA_RQ700_V1.2.3", 18);
  TakeUpdateModeAnswer(reply, &record);
  EXPECT_EQ(record.Model(), "ZORVA_RQ700_V1.2.3");
  EXPECT_EQ(record.Version(), "1.2.3");
}

}  // namespace
}  // namespace rq700
