// Helpers for the PDF tests: reading objects back through the cross-reference table and
// running the poppler and qpdf tools on a written file.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "test_platform.h"

namespace calcora::test {

// Object number → body (between "N 0 obj\n" and "endobj\n"), found through the xref
// offsets, which must each point at the object's own "N 0 obj" line.
inline std::map<int, std::string> pdf_objects(const std::string& pdf) {
  std::map<int, std::string> objects;
  const size_t startxref = pdf.rfind("startxref\n");
  if (startxref == std::string::npos) return objects;
  const size_t xref = std::stoul(pdf.substr(startxref + 10));
  if (pdf.compare(xref, 5, "xref\n") != 0) return objects;
  size_t pos = pdf.find('\n', xref + 5) + 1;  // past "0 N"
  const int count = std::stoi(pdf.substr(pdf.find(' ', xref + 5) + 1));
  pos += 20;  // the free entry
  for (int n = 1; n < count; ++n, pos += 20) {
    const size_t offset = std::stoul(pdf.substr(pos, 10));
    const std::string head = std::to_string(n) + " 0 obj\n";
    if (pdf.compare(offset, head.size(), head) != 0) return {};
    const size_t body = offset + head.size();
    objects[n] = pdf.substr(body, pdf.find("endobj\n", body) - body);
  }
  return objects;
}

// The data of a stream object's body, by its /Length.
inline std::string stream_data(const std::string& body) {
  const size_t length = std::stoul(body.substr(body.find("/Length ") + 8));
  return body.substr(body.find(">>\nstream\n") + 10, length);
}

inline bool have_tool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command and returns its standard output and exit status.
struct ToolRun {
  std::string out;
  int status = -1;
};
inline ToolRun run_tool(const std::string& command) {
  ToolRun run;
  FILE* pipe = open_command_pipe(command + " 2>&1");
  if (!pipe) return run;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) run.out.append(buf, n);
  run.status = close_command_pipe(pipe);
  return run;
}

inline std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

}  // namespace calcora::test
