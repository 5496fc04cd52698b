#pragma once
// Reading a written XML file back for the tests: libxml2's parser and a few lookups by
// element name.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace gridora::test {

struct XmlFile {
  xmlDoc* doc = nullptr;
  std::string error;
  explicit XmlFile(const std::filesystem::path& path) {
    doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc) {
      const xmlError* last = xmlGetLastError();
      error = last && last->message ? last->message : "parse failed";
    }
  }
  ~XmlFile() {
    if (doc) xmlFreeDoc(doc);
  }
  XmlFile(const XmlFile&) = delete;
  XmlFile& operator=(const XmlFile&) = delete;
  xmlNode* Root() const { return doc ? xmlDocGetRootElement(doc) : nullptr; }
};

inline std::string Name(const xmlNode* node) { return node ? reinterpret_cast<const char*>(node->name) : ""; }

inline std::vector<xmlNode*> Elements(const xmlNode* parent, const std::string& name = "") {
  std::vector<xmlNode*> found;
  if (!parent) return found;
  for (xmlNode* child = parent->children; child; child = child->next)
    if (child->type == XML_ELEMENT_NODE && (name.empty() || Name(child) == name)) found.push_back(child);
  return found;
}

inline xmlNode* Element(const xmlNode* parent, const std::string& name) {
  auto found = Elements(parent, name);
  return found.empty() ? nullptr : found.front();
}

inline xmlNode* Path(const xmlNode* from, std::initializer_list<std::string> names) {
  const xmlNode* node = from;
  for (const auto& name : names) {
    node = Element(node, name);
    if (!node) return nullptr;
  }
  return const_cast<xmlNode*>(node);
}

inline std::string Text(const xmlNode* node) {
  if (!node) return "<missing>";
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

inline bool HasAttribute(const xmlNode* node, const std::string& name) {
  return node && xmlHasProp(node, reinterpret_cast<const xmlChar*>(name.c_str())) != nullptr;
}

inline std::string Attribute(const xmlNode* node, const std::string& name) {
  if (!node) return "<missing>";
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name.c_str()));
  std::string text = value ? reinterpret_cast<const char*>(value) : "<missing>";
  xmlFree(value);
  return text;
}

inline std::vector<std::string> AttributeNames(const xmlNode* node) {
  std::vector<std::string> names;
  for (xmlAttr* attribute = node ? node->properties : nullptr; attribute; attribute = attribute->next)
    names.push_back(reinterpret_cast<const char*>(attribute->name));
  return names;
}

}  // namespace gridora::test
