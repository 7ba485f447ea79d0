#include "platform/desktop/file_associations.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/program_folder.h"
#include "platform/text.h"

extern char** environ;

namespace volta::platform::desktop {

namespace fs = std::filesystem;

namespace {

std::string xmlEscaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A desktop entry's string value: backslashes and line breaks escaped.
std::string entryValue(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

// The lines of a text, without their ends.
std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> out;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    out.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return out;
}

std::vector<std::string_view> splitList(std::string_view value) {
  std::vector<std::string_view> items;
  while (!value.empty()) {
    const std::size_t end = value.find(';');
    const std::string_view item = text::trim(value.substr(0, end));
    if (!item.empty()) items.push_back(item);
    if (end == std::string_view::npos) break;
    value.remove_prefix(end + 1);
  }
  return items;
}

bool associationSection(std::string_view section) {
  return section == "Default Applications" || section == "Added Associations";
}

// Walks a mimeapps.list: each line with the section it lies in.
template <typename Visit>
void eachLine(std::string_view mimeapps, Visit visit) {
  std::string_view section;
  for (const std::string_view raw : lines(mimeapps)) {
    const std::string_view line = text::trim(raw);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') section = line.substr(1, line.size() - 2);
    visit(section, raw, line);
  }
}

std::string readText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

fs::path homeFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && *value == '/') return value;
  const char* home = std::getenv("HOME");
  return fs::path(home ? home : "/") / fallback;
}

}  // namespace

const std::string& Descriptions::of(TypeFamily family) const {
  return family == TypeFamily::kList ? list : family == TypeFamily::kWrd ? wrd : song;
}

std::string mimePackage(const Descriptions& descriptions) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (const FileType& type : kFileTypes) {
    if (!type.own) continue;
    xml += "  <mime-type type=\"" + std::string(type.mimeType) + "\">\n";
    xml += "    <comment>" + xmlEscaped(descriptions.of(type.family)) + "</comment>\n";
    if (!type.parent.empty()) xml += "    <sub-class-of type=\"" + std::string(type.parent) + "\"/>\n";
    for (const std::string_view extension : type.extensions)
      if (!extension.empty()) xml += "    <glob pattern=\"*." + std::string(extension) + "\"/>\n";
    xml += "  </mime-type>\n";
  }
  return xml + "</mime-info>\n";
}

std::string execProgram(const std::string& program) {
  static constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string out;
  if (program.find_first_of(kReserved) == std::string::npos) {
    out = program;
  } else {
    out = "\"";
    for (const char c : program) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
      out += c;
    }
    out += '"';
  }
  // A literal percent sign is doubled: the key's field codes start with one.
  std::string doubled;
  for (const char c : out)
    doubled += c == '%' ? std::string("%%") : std::string(1, c);
  return doubled;
}

std::string desktopEntry(const fs::path& program, const std::set<std::string>& mimeTypes) {
  std::string types;
  for (const std::string& type : mimeTypes)
    types += type + ";";
  std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=VOLTA Player\n"
      "GenericName=MIDI Player\n"
      "Comment=Play MIDI, RCP and G36 songs with their WRD scripts on MIDI ports or the software synthesizer\n"
      "Exec=" +
      entryValue(execProgram(program.string())) +
      " %F\n"
      "Icon=volta\n"
      "Terminal=false\n"
      "Categories=AudioVideo;Audio;Player;Midi;\n"
      "Keywords=MIDI;RCP;WRD;karaoke;\n";
  if (!types.empty()) entry += "MimeType=" + types + "\n";
  return entry;
}

std::set<std::string> defaultsNaming(std::string_view mimeapps, std::string_view desktopId) {
  std::set<std::string> types;
  eachLine(mimeapps, [&](std::string_view section, std::string_view, std::string_view line) {
    const std::size_t equals = line.find('=');
    if (section != "Default Applications" || equals == std::string_view::npos) return;
    const auto apps = splitList(line.substr(equals + 1));
    if (!apps.empty() && apps.front() == desktopId) types.emplace(text::trim(line.substr(0, equals)));
  });
  return types;
}

std::string withoutOwnAssociations(std::string_view mimeapps, std::string_view desktopId,
                                   const std::set<std::string>& types) {
  std::string out;
  eachLine(mimeapps, [&](std::string_view section, std::string_view raw, std::string_view line) {
    const std::size_t equals = line.find('=');
    const bool ourType = associationSection(section) && equals != std::string_view::npos &&
                         types.contains(std::string(text::trim(line.substr(0, equals))));
    const auto apps = ourType ? splitList(line.substr(equals + 1)) : std::vector<std::string_view>{};
    if (std::find(apps.begin(), apps.end(), desktopId) == apps.end()) {
      out.append(raw).append("\n");
      return;
    }
    std::string kept;
    for (const std::string_view app : apps)
      if (app != desktopId) kept.append(app).append(";");
    if (!kept.empty()) out.append(text::trim(line.substr(0, equals))).append("=").append(kept).append("\n");
  });
  // A text without a final line end keeps it that way.
  if (!mimeapps.empty() && mimeapps.back() != '\n' && !out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

XdgPlaces XdgPlaces::fromEnvironment() {
  return {homeFolder("XDG_DATA_HOME", ".local/share"), homeFolder("XDG_CONFIG_HOME", ".config")};
}

bool runTool(const std::vector<std::string>& argv,
             const std::vector<std::pair<std::string, std::string>>& environment) {
  if (argv.empty()) return false;
  std::map<std::string, std::string> variables;
  for (char** entry = environ; entry && *entry; ++entry) {
    const std::string_view text(*entry);
    const std::size_t equals = text.find('=');
    if (equals != std::string_view::npos) variables[std::string(text.substr(0, equals))] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : environment)
    variables[name] = value;
  std::vector<std::string> envText;
  for (const auto& [name, value] : variables)
    envText.push_back(name + "=" + value);
  std::vector<char*> envp, args;
  for (std::string& text : envText)
    envp.push_back(text.data());
  envp.push_back(nullptr);
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t child = 0;
  if (::posix_spawnp(&child, args[0], nullptr, nullptr, args.data(), envp.data()) != 0) return false;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

FileAssociations::FileAssociations(XdgPlaces places, fs::path program, ToolRunner runner)
    : places_(std::move(places)), program_(std::move(program)), runner_(std::move(runner)) {}

FileAssociations FileAssociations::forRunningProgram() {
  const fs::path self = programFile();
  return FileAssociations(XdgPlaces::fromEnvironment(), self.empty() ? fs::path("volta") : self);
}

fs::path FileAssociations::packageFile() const {
  return places_.dataHome / "mime" / "packages" / "volta.xml";
}

fs::path FileAssociations::desktopFile() const {
  return places_.dataHome / "applications" / std::string(kDesktopId);
}

// Where the XDG tools keep the user's defaults now, and where older versions kept them.
std::vector<fs::path> FileAssociations::mimeappsFiles() const {
  return {places_.configHome / "mimeapps.list", places_.dataHome / "applications" / "mimeapps.list"};
}

std::set<std::string> FileAssociations::registeredTypes() const {
  std::set<std::string> types;
  for (const fs::path& file : mimeappsFiles())
    types.merge(defaultsNaming(readText(file), kDesktopId));
  return types;
}

bool FileAssociations::apply(const std::set<std::string>& types, const Descriptions& descriptions) {
  error_.clear();
  return types.empty() ? uninstall() : install(types, descriptions);
}

bool FileAssociations::install(const std::set<std::string>& types, const Descriptions& descriptions) {
  std::error_code ignored;
  fs::create_directories(packageFile().parent_path(), ignored);
  fs::create_directories(desktopFile().parent_path(), ignored);
  if (!replaceFile(packageFile(), mimePackage(descriptions), FileAccess::kShared))
    return fail("cannot write " + packageFile().string());
  // The entry names only the chosen types: the desktop's cache of it is a default too.
  if (!replaceFile(desktopFile(), desktopEntry(program_, types), FileAccess::kShared))
    return fail("cannot write " + desktopFile().string());
  std::set<std::string> others;
  for (const FileType& type : kFileTypes)
    if (!types.contains(std::string(type.mimeType))) others.emplace(type.mimeType);
  if (!takeBack(others) || !refreshDatabases()) return false;
  for (const std::string& type : types)
    if (!run({"xdg-mime", "default", std::string(kDesktopId), type})) return false;
  return true;
}

bool FileAssociations::uninstall() {
  std::set<std::string> all;
  for (const FileType& type : kFileTypes)
    all.emplace(type.mimeType);
  if (!takeBack(all)) return false;
  std::error_code ignored;
  fs::remove(packageFile(), ignored);
  fs::remove(desktopFile(), ignored);
  return refreshDatabases();
}

bool FileAssociations::takeBack(const std::set<std::string>& types) {
  for (const fs::path& file : mimeappsFiles()) {
    if (!fs::exists(file)) continue;
    const std::string text = readText(file);
    const std::string kept = withoutOwnAssociations(text, kDesktopId, types);
    if (kept != text && !replaceFile(file, kept, FileAccess::kShared)) return fail("cannot write " + file.string());
  }
  return true;
}

bool FileAssociations::refreshDatabases() {
  std::error_code ignored;
  fs::create_directories(places_.dataHome / "mime" / "packages", ignored);
  fs::create_directories(places_.dataHome / "applications", ignored);
  return run({"update-mime-database", (places_.dataHome / "mime").string()}) &&
         run({"update-desktop-database", (places_.dataHome / "applications").string()});
}

bool FileAssociations::run(const std::vector<std::string>& argv) {
  const std::vector<std::pair<std::string, std::string>> environment{{"XDG_DATA_HOME", places_.dataHome.string()},
                                                                     {"XDG_CONFIG_HOME", places_.configHome.string()}};
  if (runner_(argv, environment)) return true;
  std::string command;
  for (const std::string& arg : argv)
    command += (command.empty() ? "" : " ") + arg;
  return fail(command + " failed (are xdg-utils, shared-mime-info and desktop-file-utils installed?)");
}

bool FileAssociations::fail(std::string message) {
  error_ = std::move(message);
  return false;
}

}  // namespace volta::platform::desktop
