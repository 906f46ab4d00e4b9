#include "common/batch_cli.h"

#include <algorithm>

namespace survey {

bool ParsedOptions::Has(const std::string& name) const {
  return values.count(name) > 0 || std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::string ParsedOptions::Value(const std::string& name, const std::string& fallback) const {
  const auto it = values.find(name);
  return it == values.end() || it->second.empty() ? fallback : it->second.back();
}

const std::vector<std::string>& ParsedOptions::Values(const std::string& name) const {
  static const std::vector<std::string> none;
  const auto it = values.find(name);
  return it == values.end() ? none : it->second;
}

ParsedOptions ParseOptions(const std::vector<std::string>& args, const std::vector<AcceptedOption>& accepted) {
  ParsedOptions out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) {
      out.error = "unexpected argument: " + arg;
      return out;
    }
    std::string name = arg.substr(2);
    std::string value;
    bool inlineValue = false;
    if (const auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      inlineValue = true;
    }
    const auto known =
        std::find_if(accepted.begin(), accepted.end(), [&](const AcceptedOption& a) { return a.name == name; });
    if (known == accepted.end()) {
      out.error = "unknown option: --" + name;
      return out;
    }
    if (!known->takesValue) {
      if (inlineValue) {
        out.error = "option --" + name + " takes no value";
        return out;
      }
      out.flags.push_back(name);
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= args.size()) {
        out.error = "option --" + name + " needs a value";
        return out;
      }
      value = args[++i];
    }
    auto& list = out.values[name];
    if (!known->repeatable && !list.empty()) {
      out.error = "option --" + name + " given twice";
      return out;
    }
    list.push_back(value);
  }
  return out;
}

std::string CrLfToLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

bool WantsBatchMode(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]).rfind("--", 0) == 0) return true;
  }
  return false;
}

}  // namespace survey

namespace survey {

int FinishBatch(const RecordingHost& host, std::string_view output, std::ostream& out, std::ostream& err) {
  if (host.Refused()) {
    for (const Message& m : host.messages) {
      if (m.refusal) err << CrLfToLf(m.text) << '\n';
    }
    return 2;
  }
  out << CrLfToLf(output);
  out.flush();
  return 0;
}

std::optional<int> StartBatch(const BatchProgram& program, const std::vector<std::string>& args, ParsedOptions& parsed,
                              std::ostream& out, std::ostream& err) {
  std::vector<AcceptedOption> accepted = program.options;
  if (std::none_of(accepted.begin(), accepted.end(), [](const AcceptedOption& a) { return a.name == "help"; })) {
    accepted.push_back({"help", false, false});
  }
  parsed = ParseOptions(args, accepted);
  if (!parsed.error.empty()) {
    if (!program.name.empty()) err << program.name << ": ";
    err << parsed.error << '\n' << program.usage;
    return 2;
  }
  if (parsed.Has("help")) {
    out << program.usage;
    return 0;
  }
  return std::nullopt;
}

std::optional<int> StartPrintingBatch(const BatchProgram& program, const std::vector<std::string>& args,
                                      const BatchServices& services, ParsedOptions& parsed, std::ostream& out,
                                      std::ostream& err) {
  if (const std::optional<int> status = StartBatch(program, args, parsed, out, err)) return status;
  if (parsed.Has("pdf") && !services.pdf) {
    err << program.name << ": --pdf: printing is not available here\n";
    return 2;
  }
  return std::nullopt;
}

}  // namespace survey
