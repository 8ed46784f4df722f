// The run settings and the writer options: plain values that the command
// line makes and the front end hands to the driver and the PLA writer.
#pragma once

#include <climits>
#include <string>

namespace vorn {

/// Limits of the output-group behaviour; never in effect.
struct GroupLimits {
  int count = 1;
  int lower[1] = {INT_MAX};
  int upper[1] = {INT_MAX};
};

struct Settings {
  int seedFromTerms = 0;
  int cdMutationRatio = 0;
  int cdWeightMode = 0;
  int ieMethod = 3;
  int dominanceLevel = 2;
  int noImplicantReduction = 0;
  int irMutationRatio = 0;
  int coverAtEnd = 0;
  int cpMethod = 1;
  int singleOutput = 0;
  int substituteOutputDc = 0;
  int noOutputSparsing = 0;
  int validityByTries = 0;
  int cacheValidity = 0;
  int stopOnTime = 0;
  float timeLimit = 1.0f;
  int stopOnIterations = 0;
  int iterationLimit = 1;
  int stopOnInterval = 0;
  int intervalFactor = 1;
  int stopOnQuality = 0;
  int qualityLimit = 0;
  int criterion = 1;
  int groupConstraints = 0;
  int cdGroupWeights = 0;
  int cpGroupWeights = 0;
  double groupWeightFactors[4] = {1.0, 0.0, 1.0, 0.0};
  GroupLimits groupLimits;
  int unusedSwitch = 0;
  int cdBias = 0;
  int cpBias = 0;
  double biasFactors[2] = {1.0, 1.0};
  int dfDirection = 1;
  int depthFactor = 10;
  int fcMinRatio = 50;
  int refine = 0;  ///< -refine: improve the best cover minterm by minterm after the search
  int exact = 0;   ///< -exact: a cover of minimum cost from all primes instead of the search
};

/// How the PLA writer writes; only writeLabels is read (label lines while non-zero).
struct WriterOptions {
  std::string texts[3] = {"", "+", "'"};
  int switch0 = 1;
  int writeLabels = 1;
  int switch2 = 0;
};

}  // namespace vorn
