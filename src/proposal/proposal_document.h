// The proposal as one HTML document, rendered from its snapshot: the text that the page prints
// and saves, and the body that the link service shows the customer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "commands/json.h"

namespace calcora {

inline constexpr const char* kProposalDocumentStyle =
    "body{font:15px/1.4 system-ui,sans-serif;color:#171717;padding:24px}"
    "table{border-collapse:collapse;width:100%}"
    "td,th{border-bottom:1px solid #e5e5e5;text-align:left;padding:6px 8px}";

struct ProposalDocumentLine {
  std::string name;
  std::optional<std::string> unit;
  std::optional<double> quantity;
  std::optional<double> unit_price;
  double total = 0;
};

struct ProposalDocumentStage {
  std::string title;
  double amount = 0;
};

// What the document shows; `logo` is a data URL, shown only when it is an image's.
struct ProposalDocument {
  std::string title;
  std::string object_name;
  std::vector<ProposalDocumentLine> lines;
  std::vector<ProposalDocumentStage> stages;
  double total = 0;
  std::optional<std::string> logo;

  // Reads a snapshot as the editor builds it (title, object_name, lines, stages, total, and
  // an optional logo_b64). Every member must have its type: a snapshot that does not is
  // nothing to show a customer, and the reason says which member is wrong.
  struct Reading;
  static Reading from_snapshot(const Json& snapshot);
};

struct ProposalDocument::Reading {
  std::optional<ProposalDocument> document;
  std::string problem;  // when there is no document: "lines[3].total is not a number"
};

// The body from the logo to "Итого", with the line feeds the saved file has between its parts.
std::string proposal_body_html(const ProposalDocument& document);

// The whole saved document: doctype, head with title and style, and the body.
std::string proposal_document_html(const ProposalDocument& document);

}  // namespace calcora
