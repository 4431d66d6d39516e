#include "gputest/effect/effect_source.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

namespace {

struct Token {
  std::string text;
  size_t begin = 0;
  size_t end = 0;
};

bool IsIdentifierStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}
bool IsIdentifierPart(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// Tokens of the file outside comments and preprocessor lines, which the layer leaves to the
// compiler untouched.
std::vector<Token> Tokenize(const std::string& text) {
  std::vector<Token> tokens;
  size_t i = 0;
  bool lineStart = true;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\n') {
      lineStart = true;
      ++i;
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(c)) != 0) {
      ++i;
      continue;
    }
    if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
      const size_t close = text.find("*/", i + 2);
      i = close == std::string::npos ? text.size() : close + 2;
      continue;
    }
    if (c == '#' && lineStart) {
      while (i < text.size() && text[i] != '\n') {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++i;
      }
      continue;
    }
    lineStart = false;
    Token token;
    token.begin = i;
    if (IsIdentifierStart(c)) {
      while (i < text.size() && IsIdentifierPart(text[i])) ++i;
    } else if (std::isdigit(static_cast<unsigned char>(c)) != 0 ||
               (c == '.' && i + 1 < text.size() &&
                std::isdigit(static_cast<unsigned char>(text[i + 1])) != 0)) {
      while (i < text.size() && (IsIdentifierPart(text[i]) || text[i] == '.')) ++i;
    } else if (c == '"') {
      ++i;
      while (i < text.size() && text[i] != '"' && text[i] != '\n') ++i;
      if (i < text.size() && text[i] == '"') ++i;
    } else {
      ++i;
    }
    token.end = i;
    token.text = text.substr(token.begin, token.end - token.begin);
    tokens.push_back(std::move(token));
  }
  return tokens;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

template <typename Value>
struct NamedValue {
  const char* name;
  Value value;
};

template <typename Value, size_t count>
bool LookUpValue(const NamedValue<Value> (&table)[count], const std::string& text, Value* value) {
  const std::string upper = Upper(text);
  for (const NamedValue<Value>& entry : table) {
    if (upper == entry.name) {
      *value = entry.value;
      return true;
    }
  }
  return false;
}

const NamedValue<BOOL> booleans[] = {{"TRUE", TRUE}, {"FALSE", FALSE}, {"1", TRUE}, {"0", FALSE}};
const NamedValue<D3D10_DEPTH_WRITE_MASK> depthWriteMasks[] = {
    {"ZERO", D3D10_DEPTH_WRITE_MASK_ZERO}, {"ALL", D3D10_DEPTH_WRITE_MASK_ALL}};
const NamedValue<D3D10_COMPARISON_FUNC> comparisons[] = {
    {"NEVER", D3D10_COMPARISON_NEVER},
    {"LESS", D3D10_COMPARISON_LESS},
    {"EQUAL", D3D10_COMPARISON_EQUAL},
    {"LESS_EQUAL", D3D10_COMPARISON_LESS_EQUAL},
    {"GREATER", D3D10_COMPARISON_GREATER},
    {"NOT_EQUAL", D3D10_COMPARISON_NOT_EQUAL},
    {"GREATER_EQUAL", D3D10_COMPARISON_GREATER_EQUAL},
    {"ALWAYS", D3D10_COMPARISON_ALWAYS}};
const NamedValue<D3D10_FILL_MODE> fillModes[] = {{"SOLID", D3D10_FILL_SOLID},
                                                 {"WIREFRAME", D3D10_FILL_WIREFRAME}};
const NamedValue<D3D10_CULL_MODE> cullModes[] = {
    {"NONE", D3D10_CULL_NONE}, {"FRONT", D3D10_CULL_FRONT}, {"BACK", D3D10_CULL_BACK}};
const NamedValue<D3D10_FILTER> filters[] = {
    {"MIN_MAG_MIP_POINT", D3D10_FILTER_MIN_MAG_MIP_POINT},
    {"MIN_MAG_MIP_LINEAR", D3D10_FILTER_MIN_MAG_MIP_LINEAR},
    {"MIN_MAG_LINEAR_MIP_POINT", D3D10_FILTER_MIN_MAG_LINEAR_MIP_POINT},
    {"ANISOTROPIC", D3D10_FILTER_ANISOTROPIC}};
const NamedValue<D3D10_TEXTURE_ADDRESS_MODE> addressModes[] = {
    {"WRAP", D3D10_TEXTURE_ADDRESS_WRAP},
    {"MIRROR", D3D10_TEXTURE_ADDRESS_MIRROR},
    {"CLAMP", D3D10_TEXTURE_ADDRESS_CLAMP},
    {"BORDER", D3D10_TEXTURE_ADDRESS_BORDER}};

D3D10_DEPTH_STENCIL_DESC DefaultDepthStencilDesc() {
  D3D10_DEPTH_STENCIL_DESC desc{};
  desc.DepthEnable = TRUE;
  desc.DepthWriteMask = D3D10_DEPTH_WRITE_MASK_ALL;
  desc.DepthFunc = D3D10_COMPARISON_LESS;
  desc.StencilReadMask = D3D10_DEFAULT_STENCIL_READ_MASK;
  desc.StencilWriteMask = D3D10_DEFAULT_STENCIL_WRITE_MASK;
  const D3D10_DEPTH_STENCILOP_DESC keep = {D3D10_STENCIL_OP_KEEP, D3D10_STENCIL_OP_KEEP,
                                           D3D10_STENCIL_OP_KEEP, D3D10_COMPARISON_ALWAYS};
  desc.FrontFace = keep;
  desc.BackFace = keep;
  return desc;
}

D3D10_RASTERIZER_DESC DefaultRasterizerDesc() {
  D3D10_RASTERIZER_DESC desc{};
  desc.FillMode = D3D10_FILL_SOLID;
  desc.CullMode = D3D10_CULL_BACK;
  desc.DepthClipEnable = TRUE;
  return desc;
}

D3D10_SAMPLER_DESC DefaultSamplerDesc() {
  D3D10_SAMPLER_DESC desc{};
  desc.Filter = D3D10_FILTER_MIN_MAG_MIP_LINEAR;
  desc.AddressU = D3D10_TEXTURE_ADDRESS_CLAMP;
  desc.AddressV = D3D10_TEXTURE_ADDRESS_CLAMP;
  desc.AddressW = D3D10_TEXTURE_ADDRESS_CLAMP;
  desc.MaxAnisotropy = 16;
  desc.ComparisonFunc = D3D10_COMPARISON_NEVER;
  desc.MaxLOD = D3D10_FLOAT32_MAX;
  return desc;
}

class Parser {
 public:
  Parser(const std::string& text, const std::string& fileName, EffectSource* source)
      : text_(text), fileName_(fileName), tokens_(Tokenize(text)), source_(source) {
    source_->shaderCode = text;
  }

  bool Parse(std::string* failure) {
    int depth = 0;
    while (position_ < tokens_.size()) {
      const Token& token = tokens_[position_];
      bool handled = false;
      bool ok = true;
      if (depth == 0) {
        if (token.text == "technique10" || token.text == "technique") {
          handled = true;
          ok = ParseTechnique();
        } else if (IsStateBlockStart("DepthStencilState") ||
                   IsStateBlockStart("RasterizerState") || IsStateBlockStart("SamplerState")) {
          handled = true;
          ok = ParseStateBlock();
        } else if (IsStateBlockStart("BlendState")) {
          ok = Fail(token, "BlendState objects are not supported");
        }
      }
      if (!ok) {
        *failure = failure_;
        return false;
      }
      if (handled) continue;
      if (token.text == "{") ++depth;
      if (token.text == "}") --depth;
      ++position_;
    }
    return true;
  }

 private:
  bool IsStateBlockStart(const char* keyword) const {
    return tokens_[position_].text == keyword && position_ + 2 < tokens_.size() &&
           IsIdentifierStart(tokens_[position_ + 1].text[0]) && tokens_[position_ + 2].text == "{";
  }

  int LineOf(size_t offset) const {
    return 1 + static_cast<int>(std::count(text_.begin(), text_.begin() + offset, '\n'));
  }

  bool Fail(const Token& token, const std::string& message) {
    failure_ = fileName_ + "(" + std::to_string(LineOf(token.begin)) + "): " + message;
    return false;
  }
  bool FailAtEnd(const std::string& inside) {
    failure_ = fileName_ + "(" + std::to_string(LineOf(text_.size())) +
               "): the file ends inside " + inside;
    return false;
  }

  // Replaces the file's text from begin to end by blanks, keeping line breaks.
  void Blank(size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i) {
      if (source_->shaderCode[i] != '\n' && source_->shaderCode[i] != '\r') {
        source_->shaderCode[i] = ' ';
      }
    }
  }

  bool AtEnd() const { return position_ >= tokens_.size(); }

  // Takes the next token, which must be the given text.
  bool Expect(const char* text, const std::string& inside) {
    if (AtEnd()) return FailAtEnd(inside);
    if (tokens_[position_].text != text) {
      return Fail(tokens_[position_], std::string("'") + text + "' expected in " + inside +
                                          ", found '" + tokens_[position_].text + "'");
    }
    ++position_;
    return true;
  }

  bool TakeIdentifier(std::string* name, const std::string& inside) {
    if (AtEnd()) return FailAtEnd(inside);
    const Token& token = tokens_[position_];
    if (!IsIdentifierStart(token.text[0])) {
      return Fail(token, "a name expected in " + inside + ", found '" + token.text + "'");
    }
    *name = token.text;
    ++position_;
    return true;
  }

  bool ParseTechnique() {
    const size_t begin = tokens_[position_].begin;
    ++position_;
    TechniqueSource technique;
    if (!TakeIdentifier(&technique.name, "a technique")) return false;
    const std::string inside = "technique " + technique.name;
    if (!Expect("{", inside)) return false;
    while (true) {
      if (AtEnd()) return FailAtEnd(inside);
      if (tokens_[position_].text == "}") break;
      if (tokens_[position_].text != "pass") {
        return Fail(tokens_[position_], "'pass' expected in " + inside + ", found '" +
                                            tokens_[position_].text + "'");
      }
      ++position_;
      PassSource pass;
      if (!TakeIdentifier(&pass.name, inside)) return false;
      if (!ParsePass(inside + ", pass " + pass.name, &pass)) return false;
      technique.passes.push_back(std::move(pass));
    }
    Blank(begin, tokens_[position_].end);
    ++position_;
    if (!AtEnd() && tokens_[position_].text == ";") {
      Blank(tokens_[position_].begin, tokens_[position_].end);
      ++position_;
    }
    source_->techniques.push_back(std::move(technique));
    return true;
  }

  // Statement arguments: the tokens between the call's parentheses, cut at top-level commas.
  bool TakeArguments(const std::string& inside, std::vector<std::vector<Token>>* arguments) {
    if (!Expect("(", inside)) return false;
    int depth = 1;
    arguments->emplace_back();
    while (true) {
      if (AtEnd()) return FailAtEnd(inside);
      const Token& token = tokens_[position_++];
      if (token.text == "(") ++depth;
      if (token.text == ")" && --depth == 0) break;
      if (token.text == "," && depth == 1) {
        arguments->emplace_back();
        continue;
      }
      arguments->back().push_back(token);
    }
    if (arguments->size() == 1 && arguments->back().empty()) arguments->clear();
    return Expect(";", inside);
  }

  static bool IsNull(const std::vector<Token>& argument) {
    return argument.size() == 1 && (argument[0].text == "NULL" || argument[0].text == "0");
  }

  bool ParseShader(const Token& statement, const std::vector<std::vector<Token>>& arguments,
                   const char* profile, ShaderReference* shader) {
    shader->profile = profile;
    if (arguments.size() == 1 && IsNull(arguments[0])) return true;
    // CompileShader ( profile , entry ( ) )
    if (arguments.size() == 1 && arguments[0].size() == 8) {
      const std::vector<Token>& call = arguments[0];
      const char* const form[] = {"CompileShader", "(", nullptr, ",", nullptr, "(", ")", ")"};
      bool matches = IsIdentifierStart(call[2].text[0]) && IsIdentifierStart(call[4].text[0]);
      for (size_t i = 0; i < call.size(); ++i) {
        if (form[i] != nullptr && call[i].text != form[i]) matches = false;
      }
      if (matches) {
        if (call[2].text != profile) {
          return Fail(call[2], statement.text + " needs the profile " + profile + ", not '" +
                                   call[2].text + "'");
        }
        shader->entry = call[4].text;
        return true;
      }
    }
    return Fail(statement, statement.text + " takes CompileShader( " + profile +
                               ", Entry() ) or NULL");
  }

  bool ParsePass(const std::string& inside, PassSource* pass) {
    if (!Expect("{", inside)) return false;
    while (true) {
      if (AtEnd()) return FailAtEnd(inside);
      const Token statement = tokens_[position_];
      if (statement.text == "}") {
        ++position_;
        return true;
      }
      ++position_;
      std::vector<std::vector<Token>> arguments;
      if (!TakeArguments(inside, &arguments)) return false;
      bool ok = true;
      if (statement.text == "SetVertexShader") {
        ok = ParseShader(statement, arguments, "vs_4_0", &pass->vertexShader);
      } else if (statement.text == "SetPixelShader") {
        ok = ParseShader(statement, arguments, "ps_4_0", &pass->pixelShader);
      } else if (statement.text == "SetGeometryShader") {
        if (arguments.size() != 1 || !IsNull(arguments[0])) {
          ok = Fail(statement, "geometry shaders cannot be compiled; use NULL");
        }
      } else if (statement.text == "SetDepthStencilState") {
        if (arguments.size() != 2 || arguments[0].size() != 1 || arguments[1].size() != 1) {
          ok = Fail(statement, "SetDepthStencilState takes a state name and a stencil reference");
        } else {
          pass->depthStencilState = arguments[0][0].text;
          pass->stencilRef = static_cast<UINT>(std::strtoul(arguments[1][0].text.c_str(), nullptr, 0));
        }
      } else if (statement.text == "SetRasterizerState") {
        if (arguments.size() != 1 || arguments[0].size() != 1) {
          ok = Fail(statement, "SetRasterizerState takes a state name");
        } else {
          pass->rasterizerState = arguments[0][0].text;
        }
      } else if (statement.text == "RouteInstancesToCubeFaces") {
        if (!arguments.empty()) {
          ok = Fail(statement, "RouteInstancesToCubeFaces takes no arguments");
        } else {
          pass->instancesToCubeFaces = true;
        }
      } else {
        ok = Fail(statement, "unknown pass statement '" + statement.text + "'");
      }
      if (!ok) return false;
    }
  }

  // Field = Value; pairs up to the closing brace.
  bool TakeFields(const std::string& inside, std::vector<std::pair<Token, Token>>* fields) {
    if (!Expect("{", inside)) return false;
    while (true) {
      if (AtEnd()) return FailAtEnd(inside);
      if (tokens_[position_].text == "}") return true;
      const Token field = tokens_[position_++];
      if (!Expect("=", inside)) return false;
      if (AtEnd()) return FailAtEnd(inside);
      const Token value = tokens_[position_++];
      if (!Expect(";", inside)) return false;
      fields->emplace_back(field, value);
    }
  }

  template <typename Value, size_t count>
  bool SetField(const NamedValue<Value> (&table)[count], const Token& value, Value* field) {
    if (LookUpValue(table, value.text, field)) return true;
    return Fail(value, "unknown value '" + value.text + "'");
  }

  bool ParseStateBlock() {
    const Token keyword = tokens_[position_];
    const std::string name = tokens_[position_ + 1].text;
    position_ += 2;
    const size_t blockBegin = tokens_[position_].begin;
    const std::string inside = keyword.text + " " + name;
    std::vector<std::pair<Token, Token>> fields;
    if (!TakeFields(inside, &fields)) return false;
    size_t end = tokens_[position_].end;
    ++position_;
    if (!AtEnd() && tokens_[position_].text == ";") {
      end = tokens_[position_].end;
      ++position_;
    }
    bool ok = true;
    if (keyword.text == "DepthStencilState") {
      NamedDepthStencilState state{name, DefaultDepthStencilDesc()};
      for (const auto& [field, value] : fields) {
        if (field.text == "DepthEnable") {
          ok = SetField(booleans, value, &state.desc.DepthEnable);
        } else if (field.text == "DepthWriteMask") {
          ok = SetField(depthWriteMasks, value, &state.desc.DepthWriteMask);
        } else if (field.text == "DepthFunc") {
          ok = SetField(comparisons, value, &state.desc.DepthFunc);
        } else {
          ok = Fail(field, "unknown field '" + field.text + "' in " + inside);
        }
        if (!ok) return false;
      }
      source_->depthStencilStates.push_back(state);
      Blank(keyword.begin, end);
    } else if (keyword.text == "RasterizerState") {
      NamedRasterizerState state{name, DefaultRasterizerDesc()};
      for (const auto& [field, value] : fields) {
        if (field.text == "FillMode") {
          ok = SetField(fillModes, value, &state.desc.FillMode);
        } else if (field.text == "CullMode") {
          ok = SetField(cullModes, value, &state.desc.CullMode);
        } else {
          ok = Fail(field, "unknown field '" + field.text + "' in " + inside);
        }
        if (!ok) return false;
      }
      source_->rasterizerStates.push_back(state);
      Blank(keyword.begin, end);
    } else {
      NamedSamplerState state{name, DefaultSamplerDesc()};
      for (const auto& [field, value] : fields) {
        if (field.text == "Filter") {
          ok = SetField(filters, value, &state.desc.Filter);
        } else if (field.text == "AddressU") {
          ok = SetField(addressModes, value, &state.desc.AddressU);
        } else if (field.text == "AddressV") {
          ok = SetField(addressModes, value, &state.desc.AddressV);
        } else if (field.text == "AddressW") {
          ok = SetField(addressModes, value, &state.desc.AddressW);
        } else {
          ok = Fail(field, "unknown field '" + field.text + "' in " + inside);
        }
        if (!ok) return false;
      }
      source_->samplerStates.push_back(state);
      // The compiler keeps the sampler's declaration, for its register; the layer makes the state.
      Blank(blockBegin, end);
      source_->shaderCode[end - 1] = ';';
    }
    return true;
  }

  const std::string& text_;
  const std::string& fileName_;
  std::vector<Token> tokens_;
  EffectSource* source_;
  size_t position_ = 0;
  std::string failure_;
};

}  // namespace

bool ParseEffectSource(const std::string& text, const std::string& fileName, EffectSource* source,
                       std::string* failure) {
  *source = EffectSource{};
  Parser parser(text, fileName, source);
  return parser.Parse(failure);
}
