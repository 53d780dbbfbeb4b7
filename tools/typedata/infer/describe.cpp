// The inferred machine written as a description an engineer reviews: one
// statement a line, its evidence in a comment after it.
#include <fmt/core.h>

#include "core/display_width.h"
#include "infer/decide.h"
#include "infer/infer.h"

namespace tool::infer {
namespace {

constexpr char kKinds[] = "DSALV";
constexpr std::size_t kCommentColumn = 34;

void Statement(std::string* text, const std::string& statement, const Evidence& why) {
  *text += statement;
  if (!why.text.empty()) {
    *text += std::string(statement.size() < kCommentColumn ? kCommentColumn - statement.size() : 1, ' ');
    *text += "# " + Printable(why.text);  // evidence may quote a part text of a hostile catalogue
  }
  *text += '\n';
}

std::string ItemStatement(char kind, const ItemRun& run, const mmisim::ItemDescription& item) {
  const std::string range =
      run.first == run.last ? std::to_string(run.first) : fmt::format("{}-{}", run.first, run.last);
  std::string type;
  if (!item.described) {
    type = "none";
  } else if (item.dataType == ' ') {
    type = "blank";
  } else if (item.dataType == '\0') {
    type = "zero";
  } else {
    type = std::string(1, item.dataType);
    if (kind != 'V') type += " " + DecimalText(item.defaultValue);
    if (item.dataType == 'P' || item.dataType == 'F') type += fmt::format(" scale {}", item.scale);
  }
  return fmt::format("  item  {} {} {}", kind, range, type);
}

}  // namespace

std::string DescriptionText(const Inference& inference, const std::string& source) {
  const mmisim::Machine& machine = inference.machine;
  std::string text;
  text += fmt::format("# Machine description inferred by 'typedata infer' from {}\n", source);
  text += fmt::format("# {} types in the catalogue; {} configs; {} type data files read ({} bytes).\n",
                      inference.types, machine.configs.size(), inference.files, inference.bytes);
  text +=
      "# Comments give the evidence of each guess; \"assumed\" marks what the files cannot\n"
      "# tell, taken from the sample machine. Config numbers and their order are guesses too.\n";
  if (!inference.conflicts.empty()) {
    text += fmt::format("# The files contradict themselves in {} places (see the command's report).\n",
                        inference.conflicts.size());
  }
  text += '\n';
  Statement(&text, "locale     " + machine.localeText, inference.locale);
  Statement(&text, std::string("offline    ") + (machine.offlineEnabled ? "on" : "off"), inference.offline);
  Statement(&text, fmt::format("name-parts {}", machine.namePartCount), inference.nameParts);
  Statement(&text, std::string("list-order ") + (machine.typeListOrder ? "name" : "catalogue"),
            inference.listOrder);
  Statement(&text, std::string("hpc        ") + (machine.hpcOnline ? "online" : "offline"), inference.hpc);
  if (!machine.boards.empty()) text += '\n';
  for (const mmisim::Board& board : machine.boards)
    Statement(&text, fmt::format("board {} index {}", board.code, board.configIndex), inference.boards);

  for (std::size_t c = 0; c < machine.configs.size(); ++c) {
    const mmisim::MachineConfig& config = machine.configs[c];
    const ConfigEvidence& evidence = inference.configs[c];
    text += '\n';
    Statement(&text,
              fmt::format("config {} prefix {} part {}", config.configNo, config.prefix, config.partNo),
              evidence.part);
    for (int k = 0; k < 5; ++k) {
      const mmisim::KindItems& kind = config.kinds[k];
      if (!kind.declared) continue;
      Statement(&text, fmt::format("  items {} {}", kKinds[k], kind.count), evidence.kinds[k].count);
      for (const ItemRun& run : evidence.kinds[k].runs) {
        const mmisim::ItemDescription& item = kind.items[run.first - 1];
        if (k == 4 && item.described && item.dataType == 'C') continue;  // what 'items V' says already
        Statement(&text, ItemStatement(kKinds[k], run, item), run.why);
      }
    }
  }
  return text;
}

}  // namespace tool::infer
