#include "crawler/crawler_strings.h"

namespace {

struct Entry {
  int id;
  const char* text;
};

constexpr Entry kTexts[] = {
    {IdsNoConnection, "Pathloom was unable to open an internet connection."},
    {IdsInitFailed, "Pathloom was unable to properly initialize."},
    {IdsOpening, "Opening "},
    {IdsResolvingName, "Resolving name..."},
    {IdsConnectingToServer, "Connecting to server..."},
    {IdsSendingRequest, "Sending request..."},
    {IdsReceivingResponse, "Receiving response..."},
    {IdsAppName, "Pathloom 2.0"},
    {IdsConnectingToInternet, "Connecting to the internet..."},
    {IdsActiveTasks, "%d Active tasks"},
    {IdsQueuedTasks, "%d Tasks in the queue"},
    {IdsDoneReading, "Done reading page."},
    {IdsReadingLocal, "Reading local page..."},
    {IdsTimeoutAborted, "Timeout limit reached - Task Aborted"},
};

}  // namespace

const char* CrawlerText(int id) {
  for (const Entry& entry : kTexts)
    if (entry.id == id) return entry.text;
  return "";
}

std::string CrawlerTextWithNumber(int id, int number) {
  std::string text = CrawlerText(id);
  if (auto at = text.find("%d"); at != std::string::npos)
    text.replace(at, 2, std::to_string(number));
  return text;
}
