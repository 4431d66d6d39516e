#pragma once
// Crafted WMI answers for the system-information tests: result objects whose properties are read
// through a PropertyReader, and row queries that answer with prepared rows.
#include <windows.h>
#include <oleauto.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/sysinfo/wmi_query.h"

// WBEM_E_NOT_FOUND, the answer for a property the object does not have.
constexpr HRESULT kWbemNotFound = static_cast<HRESULT>(0x80041002);

// A result object's properties as the reader hands them out: a fresh VARIANT per read.
struct FakeProperty {
  HRESULT result;
  VARTYPE type;
  const wchar_t* text;  // VT_BSTR
  LONG number;          // VT_I4, VT_BOOL
};

class FakeObject {
 public:
  explicit FakeObject(std::map<std::wstring, FakeProperty> properties)
      : properties_(std::move(properties)) {}

  PropertyReader Reader() {
    return [this](const std::wstring& name, VARIANT* value) -> HRESULT {
      ++reads_[name];
      const auto found = properties_.find(name);
      if (found == properties_.end()) return kWbemNotFound;
      const FakeProperty& p = found->second;
      if (FAILED(p.result)) return p.result;
      V_VT(value) = p.type;
      if (p.type == VT_BSTR) V_BSTR(value) = SysAllocString(p.text);
      if (p.type == VT_I4) V_I4(value) = p.number;
      if (p.type == VT_BOOL) V_BOOL(value) = p.number ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    };
  }
  int Reads(const std::wstring& name) { return reads_[name]; }

 private:
  std::map<std::wstring, FakeProperty> properties_;
  std::map<std::wstring, int> reads_;
};

// A row query that answers with prepared rows and records what it was asked. A query text found
// in answers gets those rows (none fails, as a query that matched nothing does); any other text
// gets result and rows.
struct FakeRowQuery {
  int result = 0;
  std::vector<WmiRow> rows;
  std::map<std::string, std::vector<WmiRow>> answers;
  std::string wql;        // the last query
  std::string fieldList;  // its field list
  std::vector<std::pair<std::string, std::string>> asked;  // every query and field list, in order

  RowQuery Query() {
    return [this](std::vector<WmiRow>& out, const std::string& query, const std::string& fields) {
      wql = query;
      fieldList = fields;
      asked.emplace_back(query, fields);
      const auto answer = answers.find(query);
      if (answer != answers.end()) {
        out.insert(out.end(), answer->second.begin(), answer->second.end());
        return answer->second.empty() ? 1 : 0;
      }
      out.insert(out.end(), rows.begin(), rows.end());
      return result;
    };
  }
};

