#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <regex>

#include "driver/minimize.h"
#include "frontend/cli.h"
#include "frontend/console.h"
#include "frontend/json_writer.h"
#include "frontend/run_statistics.h"
#include "model/cost.h"
#include "model/pla.h"
#include "support/json_value.h"
#include "support/oracle.h"
#include "support/process.h"

using namespace vorn;
using test::JsonValue;

namespace {
const char kFr[] = ".i 4\n.o 2\n.type fr\n0000 10\n0011 11\n1-1- 01\n1100 00\n01-1 1~\n0-10 01\n";

JsonValue parsed(const std::string& text) {
  JsonValue v;
  std::string error;
  EXPECT_TRUE(test::parseJson(text, v, error)) << error << "\n" << text;
  return v;
}

// The number after `label` in the run report.
double reported(const std::string& err, const std::string& label) {
  const std::size_t at = err.find(label);
  EXPECT_NE(at, std::string::npos) << label;
  return at == std::string::npos ? -1 : std::atof(err.c_str() + at + label.size());
}
}  // namespace

TEST(JsonWriter, NestsIndentsAndEscapes) {
  JsonWriter w;
  w.beginObject()
      .value("s", "a\"b\\c\n\t\x01 é")
      .value("n", -12)
      .real("r", 0.5)
      .real("whole", 2.0, 3)
      .real("nan", std::nan(""))
      .boolean("t", true)
      .null("z");
  w.beginArray("empty").endArray();
  w.beginObject("o").endObject();
  w.beginArray("a").value("", 1).beginObject().value("k", "v").endObject().endArray();
  w.endObject();
  EXPECT_EQ(w.text(),
            "{\n  \"s\": \"a\\\"b\\\\c\\n\\t\\u0001 é\",\n  \"n\": -12,\n  \"r\": 0.5,\n  \"whole\": 2.0,\n"
            "  \"nan\": null,\n  \"t\": true,\n  \"z\": null,\n  \"empty\": [],\n  \"o\": {},\n  \"a\": [\n    1,\n"
            "    {\n      \"k\": \"v\"\n    }\n  ]\n}\n");
  const JsonValue v = parsed(w.text());
  EXPECT_EQ(v["s"].text, "a\"b\\c\n\t\x01 é");
  EXPECT_EQ(v["a"].items.size(), 2u);
  EXPECT_EQ(v["a"].items[1]["k"].text, "v");
}

TEST(JsonWriter, RealsRoundToTheirDigits) {
  JsonWriter w;
  w.beginArray().real("", 1.23456, 3).real("", 0.0004, 3).real("", -3.0).real("", 1e15, 0).endArray();
  EXPECT_EQ(w.text(), "[\n  1.235,\n  0.0,\n  -3.0,\n  1000000000000000\n]\n");
}

TEST(RunStatisticsJson, TheStoppingCriteriaInEffectAndNullForTheOthers) {
  Settings s;
  s.stopOnTime = 1;
  s.timeLimit = 2.5f;
  s.criterion = 5;
  RunStatistics st;
  st.run.seed = 4294967295u;
  st.run.improvements = {{1, 0.001, 40}, {4, 0.25, 38}};
  const JsonValue v = parsed(statisticsJson(st, s));
  EXPECT_EQ(v["options"]["stopping"]["seconds"].number, 2.5);
  EXPECT_EQ(v["options"]["stopping"]["iterations"].kind, JsonValue::Kind::Null);
  EXPECT_EQ(v["options"]["criterion"].text, "G");
  EXPECT_EQ(v["seed"].integer(), 4294967295LL);
  ASSERT_EQ(v["improvements"].items.size(), 2u);
  EXPECT_EQ(v["improvements"].items[1]["iteration"].integer(), 4);
  EXPECT_EQ(v["improvements"].items[1]["seconds"].number, 0.25);
  EXPECT_EQ(v["improvements"].items[1]["cost"].integer(), 38);
  EXPECT_EQ(v["destination"].kind, JsonValue::Kind::Null);
  EXPECT_EQ(criterionLetter(0), 't');
  EXPECT_EQ(criterionLetter(6), '?');
}

TEST(StatsOption, FiguresEqualTheReportAndTheWrittenResult) {
  const std::string src = test::writeFile(test::tempPath("stats.pla"), kFr);
  const std::string dst = test::tempPath("stats_out.pla"), json = test::tempPath("stats.json");
  const auto r = test::runVorn({"-Si6", "-Qb", "-CP2", "-stats" + json, src, dst});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const JsonValue v = parsed(test::readFile(json));
  EXPECT_EQ(v["source"]["path"].text, src);
  EXPECT_EQ(v["source"]["inputs"].integer(), 4);
  EXPECT_EQ(v["source"]["outputs"].integer(), 2);
  EXPECT_EQ(v["source"]["terms"].integer(), 6);
  EXPECT_EQ(v["source"]["type"].text, "fr");
  EXPECT_EQ(v["destination"].text, dst);
  EXPECT_EQ(v["options"]["cpMethod"].integer(), 2);
  EXPECT_EQ(v["options"]["criterion"].text, "b");
  EXPECT_EQ(v["options"]["fcMinRatio"].integer(), 50);
  EXPECT_EQ(v["options"]["stopping"]["iterations"].integer(), 6);
  EXPECT_EQ(v["options"]["stopping"]["quality"].kind, JsonValue::Kind::Null);
  EXPECT_EQ(v["iterations"].integer(), 6);
  EXPECT_EQ(v["iterations"].number, reported(r.err, "Iterations: "));
  EXPECT_EQ(v["elapsedSeconds"].number, reported(r.err, "Elapsed time: "));
  EXPECT_EQ(v["interrupted"].kind, JsonValue::Kind::Boolean);
  EXPECT_FALSE(v["interrupted"].boolean);
  // The result's figures are those of the file written.
  auto written = test::pla(test::readFile(dst));
  computeStatistics(*written);
  const JsonValue& res = v["result"];
  EXPECT_EQ(res["terms"].integer(), written->terms);
  EXPECT_EQ(res["literals"].integer(), written->literals);
  EXPECT_EQ(res["outputCost"].integer(), written->outputCost);
  EXPECT_EQ(res["gates"].integer(), written->gates);
  EXPECT_EQ(res["gateEquivalents"].integer(), written->gateEquivalents);
  EXPECT_EQ(res["cost"].integer(), written->literals + written->outputCost);  // -Qb
  EXPECT_EQ(res["terms"].number, reported(r.err, "Terms: "));
  std::remove(dst.c_str());
  std::remove(json.c_str());
}

TEST(StatsOption, TheSeedRepeatsTheRunAndTheCourseEndsAtTheResult) {
  const std::string src = test::writeFile(test::tempPath("stats_seed.pla"), kFr);
  const std::string dst = test::tempPath("stats_seed_out.pla"), json = test::tempPath("stats_seed.json");
  const std::vector<std::string> options = {"-Si12", "-FR40", "-Qb"};
  std::vector<std::string> args = options;
  for (const std::string& a : {"-stats" + json, src, dst}) args.push_back(a);
  const auto r = test::runVorn(args);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const JsonValue v = parsed(test::readFile(json));
  ASSERT_EQ(v["seed"].kind, JsonValue::Kind::Number);
  // The same options and seed in this process give the very file the program wrote.
  const CommandLine cl = parseArguments(options);
  auto f = test::pla(kFr);
  FunctionPtr again = minimize(*f, cl.settings, static_cast<std::uint32_t>(v["seed"].integer()));
  ASSERT_TRUE(again);
  EXPECT_EQ(formatPla(*again), test::readFile(dst));
  // And so does the program given that seed; its statistics name it again.
  const std::string dst2 = test::tempPath("stats_seed_out2.pla"), json2 = test::tempPath("stats_seed2.json");
  args = options;
  for (const std::string& a : {"-seed" + v["seed"].text, "-stats" + json2, src, dst2}) args.push_back(a);
  ASSERT_EQ(test::runVorn(args).exitCode, 0);
  EXPECT_EQ(test::readFile(dst2), test::readFile(dst));
  const JsonValue v2 = parsed(test::readFile(json2));
  EXPECT_EQ(v2["seed"].integer(), v["seed"].integer());
  EXPECT_EQ(v2["result"]["cost"].integer(), v["result"]["cost"].integer());
  std::remove(dst2.c_str());
  std::remove(json2.c_str());
  // The course: the first cover, then strictly cheaper ones, the last being the result.
  const auto& course = v["improvements"].items;
  ASSERT_FALSE(course.empty());
  for (std::size_t i = 1; i < course.size(); ++i) {
    EXPECT_GT(course[i]["iteration"].integer(), course[i - 1]["iteration"].integer());
    EXPECT_LT(course[i]["cost"].integer(), course[i - 1]["cost"].integer());
    EXPECT_GE(course[i]["seconds"].number, course[i - 1]["seconds"].number);
  }
  EXPECT_LE(course.back()["iteration"].integer(), 12);
  EXPECT_LE(course.back()["seconds"].number, v["elapsedSeconds"].number);
  EXPECT_EQ(course.back()["cost"].integer(), v["result"]["cost"].integer());
  std::remove(dst.c_str());
  std::remove(json.c_str());
}

TEST(StatsOption, ARefinedResultEndsTheCourse) {
  // Terms given output by output as minterms: the refinement has room to work.
  const std::string text =
      ".i 3\n.o 2\n.type fr\n000 1~\n001 1~\n011 1~\n111 ~1\n110 ~1\n100 ~1\n010 00\n101 00\n";
  const std::string src = test::writeFile(test::tempPath("stats_refine.pla"), text);
  const std::string dst = test::tempPath("stats_refine_out.pla");
  for (const char* refine : {"-refine", "-Si1"}) {
    const auto r = test::runVorn({"-Si2", refine, "-stats-", src, dst});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const JsonValue v = parsed(r.out);
    EXPECT_EQ(v["options"]["refine"].boolean, std::string(refine) == "-refine");
    const auto& course = v["improvements"].items;
    ASSERT_FALSE(course.empty());
    EXPECT_EQ(course.back()["cost"].integer(), v["result"]["cost"].integer()) << refine;
    // Refined covers come only with -refine, at any iteration; the search makes the first cover.
    EXPECT_FALSE(course.front()["refined"].boolean);
    for (std::size_t i = 0; i < course.size(); ++i) {
      if (course[i]["refined"].boolean) {
        EXPECT_EQ(std::string(refine), "-refine");
      }
      EXPECT_LE(course[i]["iteration"].integer(), v["iterations"].integer());
      if (i > 0) {
        EXPECT_LT(course[i]["cost"].integer(), course[i - 1]["cost"].integer());
      }
    }
  }
  std::remove(dst.c_str());
}

TEST(StatsOption, ParallelRunsNameTheirCountAndTheWinnersSeed) {
  const std::string src = test::writeFile(test::tempPath("stats_j.pla"), kFr);
  const std::string dst = test::tempPath("stats_j_out.pla");
  const auto r = test::runVorn({"-j3", "-seed70", "-Si4", "-stats-", src, dst});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const JsonValue v = parsed(r.out);
  EXPECT_EQ(v["options"]["jobs"].integer(), 3);
  EXPECT_GE(v["seed"].integer(), 70);
  EXPECT_LE(v["seed"].integer(), 72);
  EXPECT_EQ(v["iterations"].number, reported(r.err, "Iterations: "));
  ASSERT_FALSE(v["improvements"].items.empty());
  EXPECT_EQ(v["improvements"].items.back()["cost"].integer(), v["result"]["cost"].integer());
  // The winner's seed alone repeats the winning cover.
  const std::string dst1 = test::tempPath("stats_j_out1.pla");
  ASSERT_EQ(test::runVorn({"-seed" + v["seed"].text, "-Si4", src, dst1}).exitCode, 0);
  EXPECT_EQ(test::readFile(dst1), test::readFile(dst));
  std::remove(dst.c_str());
  std::remove(dst1.c_str());
}

TEST(StatsOption, ToStandardOutputBesideAResultFile) {
  const std::string src = test::writeFile(test::tempPath("stats_out.pla"), kFr);
  const std::string dst = test::tempPath("stats_dst.pla");
  auto r = test::runVorn({"-endcov", "-Si2", "-stats-", src, dst});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const JsonValue v = parsed(r.out);
  EXPECT_TRUE(v["options"]["coverAtEnd"].boolean);
  EXPECT_GT(v["result"]["cost"].integer(), 0);  // a cover made at the end still gets its cost
  EXPECT_EQ(v["result"]["cost"].integer(), v["result"]["literals"].integer());
  // The one cover comes after the iterations, and is in the course like every cover the run made.
  ASSERT_EQ(v["improvements"].items.size(), 1u);
  EXPECT_EQ(v["improvements"].items[0]["iteration"].integer(), 2);
  EXPECT_EQ(v["improvements"].items[0]["cost"].integer(), v["result"]["cost"].integer());
  EXPECT_FALSE(v["improvements"].items[0]["refined"].boolean);
  // Without a destination standard output carries the result: refused before the run.
  r = test::runVorn({"-stats-", src});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("-stats- needs a destination file: standard output carries the result\n"), std::string::npos);
  EXPECT_EQ(r.err.find("Minimizing..."), std::string::npos);
  // However standard output is named.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"-stats-", src, "-"}, {"-stats-", src, "/dev/stdout"}, {"-stats/dev/stdout", src}}) {
    r = test::runVorn(args);
    EXPECT_EQ(r.exitCode, 1) << args[0] << " " << args.back();
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("-stats- needs a destination file"), std::string::npos) << r.err;
  }
  std::remove(dst.c_str());
}

TEST(StatsOption, BadUsesAreClearErrors) {
  const std::string src = test::writeFile(test::tempPath("stats_bad.pla"), kFr);
  auto r = test::runVorn({"-stats", src});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, test::banner() + "-stats needs a file name: -statsFILE, or -stats- for standard output\n");
  r = test::runVorn({"-stat", "-info", src});  // not the option: a mistyped word, which ends the run
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Unknown parameter -stat (did you mean -stats?)\n"), std::string::npos);
  const std::string dst = test::tempPath("stats_bad_out.pla");
  r = test::runVorn({"-stats/nonexistent/dir/s.json", src, dst});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("/nonexistent/dir/s.json"), std::string::npos) << r.err;
  // Never over the source or the result.
  std::remove(dst.c_str());
  r = test::runVorn({"-stats" + src, src, dst});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Statistics file " + src + " is the source or the destination of the run\n"), std::string::npos);
  EXPECT_EQ(test::readFile(src), kFr);
  EXPECT_EQ(test::readFile(dst), "<missing>");
  r = test::runVorn({"-stats" + dst, src, dst});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(test::readFile(dst), "<missing>");
  const std::string link = test::tempPath("stats_bad_link.pla");
  ASSERT_EQ(::symlink(src.c_str(), link.c_str()), 0);
  r = test::runVorn({"-stats" + link, src, dst});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(test::readFile(src), kFr);
  std::remove(link.c_str());
  // A special function ignores it, like every minimization option.
  const std::string json = test::tempPath("stats_info.json");
  r = test::runVorn({"-info", "-stats" + json, src});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(test::readFile(json), "<missing>");
  std::remove(dst.c_str());
}

TEST(StatsOption, AnyPathComesOutAsValidJson) {
  const std::string src = test::writeFile(test::tempPath("we\"ird\\ na\tme.pla"), kFr);
  const std::string json = test::tempPath("weird.json");
  const auto r = test::runVorn({"-q", "-stats" + json, src, test::tempPath("weird_out.pla")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(parsed(test::readFile(json))["source"]["path"].text, src);
  std::remove(json.c_str());
}
