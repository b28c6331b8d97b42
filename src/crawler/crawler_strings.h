// The string-table texts the crawler shows, by their numbers in Pathloom's resources.
#pragma once
#include <string>

enum CrawlerStringId : int {
  IdsNoConnection = 102,
  IdsInitFailed = 103,
  IdsOpening = 105,
  IdsResolvingName = 111,
  IdsConnectingToServer = 112,
  IdsSendingRequest = 113,
  IdsReceivingResponse = 114,
  IdsAppName = 119,
  IdsConnectingToInternet = 123,
  IdsActiveTasks = 132,
  IdsQueuedTasks = 133,
  IdsDoneReading = 134,
  IdsReadingLocal = 138,
  IdsTimeoutAborted = 140,
};

// The text of a crawler string; empty for a number that is not one of the above.
const char* CrawlerText(int id);
// A text with one "%d", formatted with `number`.
std::string CrawlerTextWithNumber(int id, int number);
