// Our workbooks as other spreadsheet programs save them again, the way a user who opens our
// file there and saves it hands it back: LibreOffice, Gnumeric and openpyxl. A program that is
// not installed gives the reason to skip instead.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pdf_test_support.h"

namespace calcora::test {

enum class Peer { kOurs, kLibreOffice, kGnumeric, kOpenpyxl };

inline const char* peer_name(Peer peer) {
  switch (peer) {
    case Peer::kOurs: return "ours";
    case Peer::kLibreOffice: return "LibreOffice";
    case Peer::kGnumeric: return "Gnumeric";
    case Peer::kOpenpyxl: return "openpyxl";
  }
  return "?";
}

// Debian's python modules are installed for the system interpreter, not for any other first on PATH.
inline constexpr const char* kSystemPython = "/usr/bin/python3";

// Why the peer cannot run here, or an empty text when it can.
inline std::string missing_peer(Peer peer) {
  switch (peer) {
    case Peer::kOurs: return "";
    case Peer::kLibreOffice: return have_tool("soffice") ? "" : "soffice (LibreOffice) is not installed";
    case Peer::kGnumeric: return have_tool("ssconvert") ? "" : "ssconvert (Gnumeric) is not installed";
    case Peer::kOpenpyxl:
      return run_tool(std::string(kSystemPython) + " -c 'import openpyxl'").status == 0
                 ? ""
                 : "python3-openpyxl is not installed";
  }
  return "unknown peer";
}

// Saves every input anew with the peer as `out_dir`/<stem>.xlsx and returns the copies in input
// order (the inputs themselves for our own files). Fails the test when a copy is not written;
// the programs' exit codes are not to be trusted (soffice exits 0 when it fails).
inline std::vector<std::filesystem::path> peer_copies(Peer peer, const std::vector<std::filesystem::path>& inputs,
                                                      const std::filesystem::path& out_dir) {
  if (peer == Peer::kOurs) return inputs;
  std::filesystem::create_directories(out_dir);
  std::vector<std::filesystem::path> copies;
  for (const auto& in : inputs) copies.push_back(out_dir / (in.stem().string() + ".xlsx"));
  std::string files;
  for (const auto& in : inputs) files += " " + quoted(in);
  ToolRun run;
  switch (peer) {
    case Peer::kOurs: break;
    case Peer::kLibreOffice:
      // One profile per run, so that tests running side by side do not share a LibreOffice.
      run = run_tool("soffice -env:UserInstallation=file://" + (out_dir / "lo-profile").string() +
                     " --headless --convert-to 'xlsx:Calc MS Excel 2007 XML' --outdir " + quoted(out_dir) + files);
      break;
    case Peer::kGnumeric:
      for (size_t i = 0; i < inputs.size(); ++i) {
        ToolRun one = run_tool("GSETTINGS_BACKEND=memory ssconvert --export-type=Gnumeric_Excel:xlsx2 " +
                               quoted(inputs[i]) + " " + quoted(copies[i]));
        run.out += one.out;
      }
      break;
    case Peer::kOpenpyxl: {
      std::string pairs;
      for (size_t i = 0; i < inputs.size(); ++i) pairs += " " + quoted(inputs[i]) + " " + quoted(copies[i]);
      run = run_tool(std::string(kSystemPython) +
                     " -c 'import sys, openpyxl\nfor src, dst in zip(sys.argv[1::2], sys.argv[2::2]): "
                     "openpyxl.load_workbook(src).save(dst)'" +
                     pairs);
      break;
    }
  }
  for (const auto& copy : copies)
    EXPECT_TRUE(std::filesystem::exists(copy)) << peer_name(peer) << " wrote no " << copy << ":\n" << run.out;
  return copies;
}

}  // namespace calcora::test
