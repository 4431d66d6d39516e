#pragma once
// Turning WMI result objects into texts: one row per object, or all instances of a class folded.
#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// Field name to UTF-8 value; every requested field is present (empty when unreadable).
using WmiRow = std::map<std::string, std::string>;

// The value of a field of a row, empty when the row lacks it.
const std::string& RowField(const WmiRow& row, const std::string& name);

// Reads one property of a result object into a fresh VARIANT and returns the call's result.
using PropertyReader = std::function<HRESULT(const std::wstring& name, VARIANT* value)>;

// Runs wql and appends one row per result object holding the comma-separated fields.
// Returns 1 when the query failed or matched nothing (no row appended), else 0.
int QueryRows(std::vector<WmiRow>& rows, const std::string& wql, const std::string& fieldList);

// The row of one result object: each field read as a string, else as a 32-bit integer, else empty
// with a WARN log line. A field listed twice keeps its first value.
WmiRow ReadWmiRow(const std::vector<std::string>& fields, const PropertyReader& read);

using RowQuery = std::function<int(std::vector<WmiRow>& rows, const std::string& wql,
                                   const std::string& fieldList)>;

// Queries the keys of properties from every instance of className and appends each trimmed value
// to the key's text, instances joined with ", ". Returns 1 (properties unchanged) when the query
// failed or matched nothing, else 0.
int QueryClassProperties(std::map<std::string, std::string>& properties,
                         const std::string& className, const RowQuery& query = QueryRows);
