#include "engine/sysinfo/wmi_query.h"

#include "common/console_line.h"
#include "common/run_log.h"
#include "common/text_helpers.h"
#include "common/platform/com_holders.h"
#include "engine/sysinfo/wmi_provider.h"
#include "engine/sysinfo/wmi_text.h"

namespace {
// One read of a property; a failed call is printed with the field name.
bool ReadProperty(const PropertyReader& read, const std::string& field, const std::wstring& name,
                  ScopedVariant& value) {
  const HRESULT hr = read(name, value.get());
  if (FAILED(hr)) {
    // The graphics phase queries while background jobs print: whole lines only.
    ConsoleLine("pclsObj->Get (" + field + ") failed: " + ResultCodeText(hr));
    return false;
  }
  return true;
}
}  // namespace

const std::string& RowField(const WmiRow& row, const std::string& name) {
  static const std::string empty;
  const auto found = row.find(name);
  return found != row.end() ? found->second : empty;
}

WmiRow ReadWmiRow(const std::vector<std::string>& fields, const PropertyReader& read) {
  WmiRow row;
  for (const std::string& field : fields) {
    const std::wstring name = Utf8ToWide(field);
    std::string value;
    bool haveValue = false;
    {
      ScopedVariant variant;
      if (ReadProperty(read, field, name, variant) && V_VT(variant.get()) == VT_BSTR) {
        WideToUtf8(V_BSTR(variant.get()), value);
        haveValue = true;
      }
    }
    if (!haveValue) {
      ScopedVariant variant;
      if (ReadProperty(read, field, name, variant) && V_VT(variant.get()) == VT_I4) {
        value = ToString(static_cast<unsigned>(V_I4(variant.get())));
        haveValue = true;
      }
    }
    if (!haveValue) {
      WriteLogLine(kLogS, __LINE__, "WARN: failed to get string or INT for field-> " + field);
    }
    row.emplace(field, value);  // a field listed twice keeps its first value
  }
  return row;
}

int QueryRows(std::vector<WmiRow>& rows, const std::string& wql, const std::string& fieldList) {
  std::vector<std::string> fields;
  SplitAny(fieldList, fields, ",");

  WmiObjectList objects;
  if (!GetWmiProvider()->RunQuery(objects, wql)) return 1;

  for (const ComPtr<IWbemClassObject>& object : objects) {
    IWbemClassObject* source = object.get();
    rows.push_back(ReadWmiRow(fields, [source](const std::wstring& name, VARIANT* value) {
      return source->Get(name.c_str(), 0, value, nullptr, nullptr);
    }));
  }
  return 0;
}

int QueryClassProperties(std::map<std::string, std::string>& properties,
                         const std::string& className, const RowQuery& query) {
  std::string fieldList;
  for (const auto& property : properties) fieldList += property.first + ",";
  if (!fieldList.empty()) fieldList.pop_back();

  const std::string wql = "select " + fieldList + " from " + className;
  std::vector<WmiRow> rows;
  if (query(rows, wql, fieldList) == 1) {
    WriteLogLine(kLogS, __LINE__, "ERROR Failed to execute query " + wql);
    return 1;
  }

  for (const WmiRow& row : rows) {
    for (auto& property : properties) {
      const auto found = row.find(property.first);
      std::string value = found != row.end() ? found->second : std::string();
      TrimRight(value);
      TrimLeft(value);
      if (!property.second.empty()) property.second += ", ";
      property.second += value;
    }
  }
  return 0;
}
