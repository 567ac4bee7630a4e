// JSON objects and arrays of the scripted user's events, built field by field in the order the
// fields are added, without spaces: {"event":"exit","code":0}.
#pragma once

#include <string>

class JsonObject
{
  public:
    // A field whose value is JSON text already (an object, an array, a number …).
    JsonObject& Raw(const char* name, const std::string& json);
    JsonObject& Text(const char* name, const std::string& utf8);
    JsonObject& Text(const char* name, const std::u16string& text);
    JsonObject& Number(const char* name, long long value);
    JsonObject& Bool(const char* name, bool value);
    JsonObject& Null(const char* name);
    std::string Json() const { return "{" + body_ + "}"; }

  private:
    void Name(const char* name);
    std::string body_;
};

class JsonArray
{
  public:
    JsonArray& Raw(const std::string& json);
    JsonArray& Text(const std::u16string& text);
    JsonArray& Number(long long value);
    bool Empty() const { return body_.empty(); }
    std::string Json() const { return "[" + body_ + "]"; }

  private:
    void Next();
    std::string body_;
};
