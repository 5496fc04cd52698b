// Saving a DomDocument. libxml2 serialises the tree node by node as UTF-8 into a sink
// that turns line feeds into CR LF (like every text file of the program; a parser
// reads them back as the tree's line feeds), encodes the text and writes it to a
// temporary file beside the target. Going node by node lets a container's children be
// produced, written and released batch by batch.
#include <fmt/format.h>
#include <iconv.h>
#include <libxml/globals.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include "platform/replacing_file.h"
#include "xml/dom.h"

namespace gridora {
namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool IsUtf8(const std::string& encoding) {
  const std::string upper = Upper(encoding);
  return upper == "UTF-8" || upper == "UTF8";
}

std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;  // a stray byte: converted (and refused) on its own
}

char32_t CodePoint(std::string_view sequence) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  const std::size_t length = SequenceLength(lead);
  if (length == 1 || sequence.size() < length) return 0xFFFD;
  char32_t code = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
  return code;
}

// The length of the leading ASCII part of text, eight bytes at a time.
std::size_t AsciiPrefix(std::string_view text) {
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & 0x8080808080808080ULL) break;
  }
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

// Encodes the UTF-8 text of the serializer and writes it to the file. Text in the
// target encoding's ASCII range is copied as it is; only other characters go through
// iconv, and a character the encoding lacks becomes a character reference, as
// libxml2's own encoder does.
class EncodingSink {
 public:
  EncodingSink(ReplacingFile& file, const std::string& encoding) : file_(file) {
    if (IsUtf8(encoding)) return;
    converter_ = iconv_open(encoding.c_str(), "UTF-8");
    if (converter_ == reinterpret_cast<iconv_t>(-1))
      throw DomError(DomStatus::UnsupportedEncoding, "save", "the encoding " + encoding + " cannot be written");
    // UTF-16 and its kin are not ASCII-compatible: everything goes through iconv.
    iconv_t probe = iconv_open(encoding.c_str(), "UTF-8");
    const std::string sample = "<?xml a='1'?>\r\n";
    std::string converted(sample.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(sample.data());
    char* out = converted.data();
    std::size_t inLeft = sample.size(), outLeft = converted.size();
    const bool done = iconv(probe, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(probe);
    converted.resize(converted.size() - outLeft);
    asciiCompatible_ = done && converted == sample;
  }

  ~EncodingSink() {
    if (converter_ != reinterpret_cast<iconv_t>(-1)) iconv_close(converter_);
  }

  bool Write(std::string_view text) {
    if (!pending_.empty()) {
      // Complete the character cut at the end of the previous chunk.
      const std::size_t need = SequenceLength(static_cast<unsigned char>(pending_[0])) - pending_.size();
      const std::size_t take = std::min(need, text.size());
      pending_.append(text.substr(0, take));
      text.remove_prefix(take);
      if (take < need) return true;
      std::string character;
      character.swap(pending_);
      Encode(character);
    }
    // Keep an incomplete last character for the next chunk.
    std::size_t end = text.size();
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
      const auto byte = static_cast<unsigned char>(text[text.size() - back]);
      if ((byte & 0xC0) == 0x80) continue;  // continuation byte
      if (byte >= 0xC0 && SequenceLength(byte) > back) end = text.size() - back;
      break;
    }
    Encode(text.substr(0, end));
    pending_.assign(text.substr(end));
    return Flush(false);
  }

  bool Finish() {
    if (!pending_.empty()) {
      std::string rest;
      rest.swap(pending_);
      Encode(rest);
    }
    return Flush(true);
  }

 private:
  void Encode(std::string_view text) {
    if (converter_ == reinterpret_cast<iconv_t>(-1) || asciiCompatible_) {
      while (!text.empty()) {
        const std::size_t ascii = AsciiPrefix(text);
        AppendAscii(text.substr(0, ascii));
        text.remove_prefix(ascii);
        const std::size_t other = OtherRun(text);
        if (other == 0) continue;
        if (converter_ == reinterpret_cast<iconv_t>(-1))
          out_.append(text.substr(0, other));
        else
          ConvertRun(text.substr(0, other));
        text.remove_prefix(other);
      }
      return;
    }
    std::string crlf;
    for (char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    Convert(crlf);
  }

  // The length of the leading run of non-ASCII characters, taking in ASCII letters,
  // digits and underscores between them: a name such as 節点_番号 is one run.
  static std::size_t OtherRun(std::string_view text) {
    const auto isOther = [&](std::size_t i) { return static_cast<unsigned char>(text[i]) >= 0x80; };
    const auto isNamePart = [&](std::size_t i) {
      const char c = text[i];
      return c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    };
    std::size_t end = 0;
    while (end < text.size() && isOther(end)) {
      while (end < text.size() && isOther(end)) ++end;
      std::size_t next = end;
      while (next < text.size() && isNamePart(next)) ++next;
      if (next < text.size() && isOther(next)) end = next;
    }
    return end;
  }

  void AppendAscii(std::string_view text) {
    for (std::size_t feed = text.find('\n'); feed != std::string_view::npos; feed = text.find('\n')) {
      out_.append(text.substr(0, feed));
      out_.append("\r\n");
      text.remove_prefix(feed + 1);
    }
    out_.append(text);
  }

  // Runs of other characters are mostly the same few element names: their encoded
  // form is kept instead of asking iconv again.
  void ConvertRun(std::string_view run) {
    constexpr std::size_t kLongestKept = 64, kMostKept = 4096;
    if (run.size() > kLongestKept) {
      Convert(run);
      return;
    }
    auto known = encodedRuns_.find(run);
    if (known != encodedRuns_.end()) {
      out_.append(known->second);
      return;
    }
    const std::size_t start = out_.size();
    Convert(run);
    if (encodedRuns_.size() < kMostKept) encodedRuns_.emplace(run, out_.substr(start));
  }

  void Convert(std::string_view text) {
    while (!text.empty()) {
      const std::size_t start = out_.size();
      out_.resize(start + text.size() * 4 + 16);
      char* in = const_cast<char*>(text.data());
      char* out = out_.data() + start;
      std::size_t inLeft = text.size(), outLeft = out_.size() - start;
      const std::size_t result = iconv(converter_, &in, &inLeft, &out, &outLeft);
      const int error = errno;
      out_.resize(out_.size() - outLeft);
      text.remove_prefix(text.size() - inLeft);
      if (result != static_cast<std::size_t>(-1) || text.empty()) {
        ReturnToInitialState();
        break;
      }
      if (error == E2BIG) continue;
      // A character the encoding lacks, or bytes that are not UTF-8.
      const std::size_t length = std::min(SequenceLength(static_cast<unsigned char>(text[0])), text.size());
      const std::string reference = fmt::format("&#{};", static_cast<unsigned>(CodePoint(text.substr(0, length))));
      text.remove_prefix(length);
      if (asciiCompatible_)
        out_.append(reference);
      else
        Convert(reference);
    }
  }

  // A stateful encoding ends every converted run in its initial (ASCII) state, so the
  // ASCII text copied after it reads right.
  void ReturnToInitialState() {
    char buffer[16];
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(converter_, nullptr, nullptr, &out, &outLeft);
    out_.append(buffer, sizeof buffer - outLeft);
  }

  bool Flush(bool all) {
    if (!all && out_.size() < (1u << 16)) return !file_.Failed();
    const bool written = file_.Write(out_);
    out_.clear();
    return written;
  }

  ReplacingFile& file_;
  iconv_t converter_ = reinterpret_cast<iconv_t>(-1);
  bool asciiCompatible_ = true;
  std::string pending_;
  std::string out_;
  struct RunHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
  };
  std::unordered_map<std::string, std::string, RunHash, std::equal_to<>> encodedRuns_;
};

std::string QualifiedName(const xmlNode* node) {
  std::string name;
  if (node->ns && node->ns->prefix) name = std::string(reinterpret_cast<const char*>(node->ns->prefix)) + ":";
  return name + reinterpret_cast<const char*>(node->name);
}

std::string EscapedAttribute(const std::string& value) {
  std::string escaped;
  escaped.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\t': escaped += "&#9;"; break;
      case '\n': escaped += "&#10;"; break;
      case '\r': escaped += "&#13;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// libxml2 reports some conditions of a save through its global error handler; the
// save's own result says what matters, so keep them off the console while it runs.
class QuietErrors {
 public:
  QuietErrors() : handler_(xmlStructuredError), context_(xmlStructuredErrorContext) {
    xmlSetStructuredErrorFunc(nullptr, [](void*, xmlErrorPtr) {});
  }
  ~QuietErrors() { xmlSetStructuredErrorFunc(context_, handler_); }

 private:
  xmlStructuredErrorFunc handler_;
  void* context_;
};

struct FreeNode {
  void operator()(xmlNode* node) const { xmlFreeNode(node); }
};

}  // namespace

class DomDocument::Writer {
 public:
  Writer(DomDocument& document, ReplacingFile& file)
      : document_(document), file_(file), sink_(file, document.Encoding()) {}

  ~Writer() {
    if (out_) xmlOutputBufferClose(out_);
  }

  void Run() {
    xmlDoc* doc = document_.doc_;
    const std::string encoding = IsUtf8(document_.Encoding()) ? "UTF-8" : document_.Encoding();
    // Attribute values keep their characters only when the document has an encoding.
    if (!doc->encoding) doc->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>(encoding.c_str()));
    out_ = xmlOutputBufferCreateIO(&Writer::WriteBytes, nullptr, this, nullptr);
    if (!out_) throw DomError(DomStatus::OutOfMemory, "save", "not enough memory to write the file");
    MarkProducerAncestors();

    std::string declaration = "<?xml version=\"";
    declaration += doc->version ? reinterpret_cast<const char*>(doc->version) : "1.0";
    declaration += "\" encoding=\"" + encoding + "\"";
    if (doc->standalone == 1) declaration += " standalone=\"yes\"";
    declaration += "?>\n";
    Put(declaration);
    for (xmlNode* child = doc->children; child; child = child->next) {
      // The declaration node only chose the encoding; it was written above.
      if (child->type == XML_PI_NODE && xmlStrEqual(child->name, reinterpret_cast<const xmlChar*>("xml"))) continue;
      WriteNode(child);
      Put("\n");
    }
    const int result = xmlOutputBufferClose(out_);
    out_ = nullptr;
    if (result < 0 || !sink_.Finish()) Fail();
  }

 private:
  static int WriteBytes(void* context, const char* bytes, int length) {
    auto* self = static_cast<Writer*>(context);
    return self->sink_.Write(std::string_view(bytes, static_cast<std::size_t>(length))) ? length : -1;
  }

  [[noreturn]] void Fail() {
    const std::string cause = file_.Failed() ? file_.Error() : "the XML text could not be written";
    throw DomError(DomStatus::SaveFailed, "save", cause);
  }

  void Put(const std::string& text) {
    if (xmlOutputBufferWriteString(out_, text.c_str()) < 0) Fail();
  }

  void CheckOutput() {
    if (out_->error != 0 || file_.Failed()) Fail();
  }

  void MarkProducerAncestors() {
    for (const auto& [container, producer] : document_.producers_)
      for (xmlNode* node = container; node && node->type == XML_ELEMENT_NODE; node = node->parent) opened_.insert(node);
  }

  // The serialized text is UTF-8 here; the sink encodes it.
  void Dump(xmlNode* node) { xmlNodeDumpOutput(out_, document_.doc_, node, 0, 0, "UTF-8"); }

  void WriteNode(xmlNode* node) {
    if (!opened_.count(node)) {
      Dump(node);
      CheckOutput();
      return;
    }
    const std::string name = QualifiedName(node);
    std::string start = "<" + name;
    for (xmlNs* ns = node->nsDef; ns; ns = ns->next) {
      start += ns->prefix ? " xmlns:" + std::string(reinterpret_cast<const char*>(ns->prefix)) : " xmlns";
      start += "=\"" + EscapedAttribute(ns->href ? reinterpret_cast<const char*>(ns->href) : "") + "\"";
    }
    for (xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
      std::string attributeName;
      if (attribute->ns && attribute->ns->prefix)
        attributeName = std::string(reinterpret_cast<const char*>(attribute->ns->prefix)) + ":";
      attributeName += reinterpret_cast<const char*>(attribute->name);
      xmlChar* value = xmlNodeListGetString(document_.doc_, attribute->children, 1);
      const std::string text = value ? reinterpret_cast<const char*>(value) : "";
      if (value) xmlFree(value);
      start += " " + attributeName + "=\"" + EscapedAttribute(text) + "\"";
    }
    Put(start + ">");
    for (xmlNode* child = node->children; child; child = child->next) WriteNode(child);
    auto producer = document_.producers_.find(node);
    if (producer != document_.producers_.end()) WriteProduced(node, producer->second);
    Put("</" + name + ">");
  }

  // Produced children are plain elements, attributes and texts: they are written here
  // directly, which is several times cheaper than a serializer call per node; anything
  // else goes through libxml2.
  void WriteProduced(xmlNode* container, const DomChildProducer& produce) {
    std::string text;
    for (bool more = true; more;) {
      std::unique_ptr<xmlNode, FreeNode> batch(xmlNewDocNode(document_.doc_, nullptr, container->name, nullptr));
      if (!batch) throw DomError(DomStatus::OutOfMemory, "save", "not enough memory for the XML tree");
      more = produce(batch.get());
      if (xmlOutputBufferFlush(out_) < 0) Fail();
      for (xmlNode* child = batch->children; child; child = child->next) {
        const std::size_t start = text.size();
        if (AppendPlain(child, text)) continue;
        text.resize(start);
        if (!sink_.Write(text)) Fail();
        text.clear();
        Dump(child);
        if (xmlOutputBufferFlush(out_) < 0) Fail();
      }
      if (!sink_.Write(text)) Fail();
      text.clear();
      CheckOutput();
    }
  }

  // Appends the node as libxml2 would write it; false when it is not a plain node.
  static bool AppendPlain(const xmlNode* node, std::string& text) {
    if (node->type == XML_TEXT_NODE) {
      if (node->name != xmlStringText) return false;
      AppendEscaped(node->content, false, text);
      return true;
    }
    if (node->type != XML_ELEMENT_NODE || node->ns || node->nsDef) return false;
    const char* name = reinterpret_cast<const char*>(node->name);
    text += '<';
    text += name;
    for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
      if (attribute->ns) return false;
      text += ' ';
      text += reinterpret_cast<const char*>(attribute->name);
      text += "=\"";
      for (const xmlNode* part = attribute->children; part; part = part->next) {
        if (part->type != XML_TEXT_NODE) return false;
        AppendEscaped(part->content, true, text);
      }
      text += '"';
    }
    if (!node->children) {
      text += "/>";
      return true;
    }
    text += '>';
    for (const xmlNode* child = node->children; child; child = child->next)
      if (!AppendPlain(child, text)) return false;
    text += "</";
    text += name;
    text += '>';
    return true;
  }

  static void AppendEscaped(const xmlChar* content, bool attribute, std::string& text) {
    if (!content) return;
    for (const char* c = reinterpret_cast<const char*>(content); *c; ++c) {
      switch (*c) {
        case '&': text += "&amp;"; break;
        case '<': text += "&lt;"; break;
        case '>': text += "&gt;"; break;
        case '\r': text += "&#13;"; break;
        case '"': text += attribute ? "&quot;" : "\""; break;
        case '\n': text += attribute ? "&#10;" : "\n"; break;
        case '\t': text += attribute ? "&#9;" : "\t"; break;
        default: text += *c;
      }
    }
  }

  DomDocument& document_;
  ReplacingFile& file_;
  EncodingSink sink_;
  xmlOutputBuffer* out_ = nullptr;
  std::set<xmlNode*> opened_;
};

void DomDocument::Save(const std::filesystem::path& path) {
  ReplacingFile file(path);
  if (!file.Open()) throw DomError(DomStatus::SaveFailed, "save", file.Error());
  QuietErrors quiet;
  Writer writer(*this, file);
  writer.Run();
  if (!file.Commit()) throw DomError(DomStatus::SaveFailed, "save", file.Error());
}

}  // namespace gridora
