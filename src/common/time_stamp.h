// Time stamps as the program writes them into the database: UTC, "%Y-%m-%dT%H:%M:%SZ".
#pragma once

#include <ctime>
#include <string>

namespace calcora {

std::string utc_time_stamp(std::time_t when);
std::string utc_now_stamp();
// Local time as "%Y-%m-%d %H:%M:%S", the form of the start-up log.
std::string local_now_stamp();

}  // namespace calcora
