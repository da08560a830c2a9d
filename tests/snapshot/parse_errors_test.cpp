// Error texts and positions of snapshot::parse, one row per input. An
// expected text of "OK" means the document parses. Positions count bytes:
// syntax errors point at the byte where the error was noticed, type and value
// errors at the end of the offending value, record errors at the repeated key
// or the record's closing bracket.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "snapshot/snapshot.h"

namespace quorvel::snapshot {
namespace {

using namespace std::literals;

struct Case {
  std::string_view input;
  std::string_view expected;
};

std::string outcome(std::string_view input) {
  ParseResult r = parse(input);
  if (const auto* error = std::get_if<std::string>(&r)) return *error;
  return "OK";
}

constexpr Case kCases[] = {
    // Position examples
    {""sv, "EOF while parsing a value at line 1 column 0"sv},
    {"x"sv, "expected value at line 1 column 1"sv},
    {"{\"schema\":1} x"sv, "trailing characters at line 1 column 14"sv},
    {"{\"schema\":true}"sv, "invalid type: boolean `true`, expected u32 at line 1 column 14"sv},
    {"{}"sv, "missing field `schema` at line 1 column 2"sv},
    {"[]"sv, "invalid length 0, expected struct Snapshot with 11 elements at line 1 column 2"sv},
    {"   "sv, "EOF while parsing a value at line 1 column 3"sv},
    {"\n\n"sv, "EOF while parsing a value at line 3 column 0"sv},
    {"{\"schema\":1,\"schema\":1}"sv, "duplicate field `schema` at line 1 column 20"sv},
    {"{\n  \"schema\": 1,\n  \"lobby\": 3\n}"sv,
     "invalid type: integer `3`, expected a boolean at line 3 column 12"sv},
    {"{\r\n\"schema\":1,\r\n\"x\":[1,\r\n2 3]}"sv, "expected `,` or `]` at line 4 column 3"sv},
    {"{\"schema\":1}\n  \n x"sv, "trailing characters at line 3 column 2"sv},
    // Every syntax message
    {"{\"schema\":1,\"hand\":[{\"id\":1}"sv, "EOF while parsing a list at line 1 column 28"sv},
    {"{\"schema\":1,\"hand\":["sv, "EOF while parsing a list at line 1 column 20"sv},
    {"{\"schema\":1"sv, "EOF while parsing an object at line 1 column 11"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"ab"sv,
     "EOF while parsing a string at line 1 column 38"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"ab\\"sv,
     "EOF while parsing a string at line 1 column 39"sv},
    {"{\"schema\":"sv, "EOF while parsing a value at line 1 column 10"sv},
    {"{\"schema\":1,\"lobby\":"sv, "EOF while parsing a value at line 1 column 20"sv},
    {"{\"schema\":1,\"x\""sv, "EOF while parsing an object at line 1 column 15"sv},
    {"{\"schema\":1,\"x\" 1}"sv, "expected `:` at line 1 column 17"sv},
    {"{\"schema\":1,\"vouchers\":[\"a\" \"b\"]}"sv, "expected `,` or `]` at line 1 column 29"sv},
    {"{\"schema\":1 \"x\":1}"sv, "expected `,` or `}` at line 1 column 13"sv},
    {"{\"schema\":tru}"sv, "expected ident at line 1 column 14"sv},
    {"{\"schema\":nul}"sv, "expected ident at line 1 column 14"sv},
    {"{\"schema\":1,\"lobby\":fals}"sv, "expected ident at line 1 column 25"sv},
    {"{\"schema\":1,\"x\":nulx}"sv, "expected ident at line 1 column 20"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"\\q\"}}"sv,
     "invalid escape at line 1 column 38"sv},
    {"{\"schema\":\"\\u12g4\"}"sv, "invalid escape at line 1 column 17"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"\\u12"sv,
     "EOF while parsing a string at line 1 column 40"sv},
    {"{\"schema\":01}"sv, "invalid number at line 1 column 12"sv},
    {"{\"schema\":-01}"sv, "invalid number at line 1 column 13"sv},
    {"{\"schema\":1.}"sv, "invalid number at line 1 column 13"sv},
    {"{\"schema\":1.x}"sv, "invalid number at line 1 column 13"sv},
    {"{\"schema\":1e}"sv, "invalid number at line 1 column 13"sv},
    {"{\"schema\":1ex}"sv, "invalid number at line 1 column 13"sv},
    {"{\"schema\":-}"sv, "invalid number at line 1 column 12"sv},
    {"{\"schema\":-x}"sv, "invalid number at line 1 column 12"sv},
    {"{\"schema\":1."sv, "EOF while parsing a value at line 1 column 12"sv},
    {"{\"schema\":1e"sv, "EOF while parsing a value at line 1 column 12"sv},
    {"{\"schema\":-"sv, "EOF while parsing a value at line 1 column 11"sv},
    {"{\"schema\":1e400}"sv, "number out of range at line 1 column 15"sv},
    {"{\"schema\":-1e400}"sv, "number out of range at line 1 column 16"sv},
    {"{\"schema\":1,\"blind\":{\"target\":1e309}}"sv, "number out of range at line 1 column 35"sv},
    {"{\"schema\":1e99999999999}"sv, "number out of range at line 1 column 22"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"\xff\"}}"sv,
     "invalid unicode code point at line 1 column 38"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"\xc0\x80\"}}"sv,
     "invalid unicode code point at line 1 column 39"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"\xed\xa0\x80\"}}"sv,
     "invalid unicode code point at line 1 column 40"sv},
    {"{\"schema\":1,\"\xe9\":1}"sv, "invalid unicode code point at line 1 column 15"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"a\x01"
     "b\"}}"sv,
     "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 38"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"a\nb\"}}"sv,
     "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 0"sv},
    {"{\"schema\":1,1:2}"sv, "key must be a string at line 1 column 13"sv},
    {"{,\"schema\":1}"sv, "key must be a string at line 1 column 2"sv},
    {"{\"schema\":1,\"x\":{\"a\":1,1:2}}"sv, "key must be a string at line 1 column 24"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"\\udc00\"}}"sv,
     "lone leading surrogate in hex escape at line 1 column 42"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"\\ud800\\u0041\"}}"sv,
     "lone leading surrogate in hex escape at line 1 column 48"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"\\ud800x\"}}"sv,
     "unexpected end of hex escape at line 1 column 43"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"\\ud800\\n\"}}"sv,
     "unexpected end of hex escape at line 1 column 44"sv},
    {"{\"schema\":1,\"round\":{\"most_played\":\"\\ud800"sv,
     "EOF while parsing a string at line 1 column 42"sv},
    {"{\"schema\":1,}"sv, "trailing comma at line 1 column 13"sv},
    {"{\"schema\":1,\"vouchers\":[\"a\",]}"sv, "trailing comma at line 1 column 29"sv},
    {"{\"schema\":1,\"x\":[1,]}"sv, "trailing comma at line 1 column 20"sv},
    {"{\"schema\":1,\"x\":{\"a\":1,}}"sv, "trailing comma at line 1 column 24"sv},
    {"{\"schema\":1,\"x\":[1,"sv, "EOF while parsing a value at line 1 column 19"sv},
    {"{\"schema\":1,\"x\":{\"a\":1,"sv, "EOF while parsing a value at line 1 column 23"sv},
    {"{\"schema\":1,\"x\":{\"a\":1"sv, "EOF while parsing an object at line 1 column 22"sv},
    {"{\"schema\":1,\"x\":["sv, "EOF while parsing a list at line 1 column 17"sv},
    {"{\"schema\":1,\"x\":\"ab"sv, "EOF while parsing a string at line 1 column 19"sv},
    {"{\"schema\":1,\"x\":-"sv, "EOF while parsing a value at line 1 column 17"sv},
    {"{\"schema\":1,\"x\":1."sv, "EOF while parsing a value at line 1 column 18"sv},
    {"{\"schema\":1,\"x\":1.]"sv, "invalid number at line 1 column 19"sv},
    {"{\"schema\":1,\"x\":\"a\x01"
     "b\"}"sv,
     "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 19"sv},
    {"{\"schema\":1,\"x\":\"a\nb\"}"sv,
     "control character (\\u0000-\\u001F) found while parsing a string at line 2 column 0"sv},
    {"{\"schema\":1,\"x\":\"\\u00zz\"}"sv, "invalid escape at line 1 column 23"sv},
    {"{\"schema\":1,\"x\":[}"sv, "expected value at line 1 column 18"sv},
    {"{\"schema\":1,\"x\":{]}"sv, "key must be a string at line 1 column 18"sv},
    {"{\"schema\":1,\"x\":1]"sv, "expected `,` or `}` at line 1 column 18"sv},
    {"{\"schema\":1,\"x\":1}}"sv, "trailing characters at line 1 column 19"sv},
    // Array forms
    {"[1]"sv, "OK"sv},
    {"[1,]"sv, "trailing comma at line 1 column 4"sv},
    {"[1 x]"sv, "expected `,` or `]` at line 1 column 4"sv},
    {"[1,[],[],{},{},{},{},[],[],false,{}]"sv, "OK"sv},
    {"[1,[],[],{},{},{},{},[],[],false,{},2]"sv, "trailing characters at line 1 column 37"sv},
    {"[1,[],[],{},{},{},{},[],[],false,{} 2]"sv, "trailing characters at line 1 column 37"sv},
    {"[1,[],[],{},{},{},{},[],[],false,{},]"sv, "trailing comma at line 1 column 37"sv},
    {"[1,[],[],{},{},{},{},[],[],false,{}"sv, "EOF while parsing a list at line 1 column 35"sv},
    {"[1,[],[],{},{},{},{},[],[],false,{},"sv, "EOF while parsing a value at line 1 column 36"sv},
    {"[1,[],[],{},{},{},{},[],[],false,{}, \n"sv, "EOF while parsing a value at line 2 column 0"sv},
    {"{\"schema\":1,\"hand\":[[]]}"sv,
     "invalid length 0, expected struct Card with 10 elements at line 1 column 22"sv},
    {"{\"schema\":1,\"jokers\":[[]]}"sv,
     "invalid length 0, expected struct Joker with 8 elements at line 1 column 24"sv},
    {"{\"schema\":1,\"hand\":[[7]]}"sv, "OK"sv},
    {"{\"schema\":1,\"hand\":[[7,2,\"S\",null,null,null,[],false,false,false]]}"sv, "OK"sv},
    {"{\"schema\":1,\"hand\":[[7,2,\"S\",null,null,null,[],false,false,false,0]]}"sv,
     "trailing characters at line 1 column 66"sv},
    {"{\"schema\":1,\"jokers\":[[1,\"j\",null,false,false,1,2,{},0]]}"sv,
     "trailing characters at line 1 column 54"sv},
    {"{\"schema\":1,\"levels\":{\"Pair\":[2,30]}}"sv, "OK"sv},
    {"{\"schema\":1,\"levels\":{\"Pair\":[1,2,3,4,5,6,7,true,9]}}"sv,
     "trailing characters at line 1 column 50"sv},
    {"{\"schema\":1,\"options\":[\"money\"]}"sv, "OK"sv},
    {"{\"schema\":1,\"options\":[\"money\",false,false,1]}"sv,
     "trailing characters at line 1 column 44"sv},
    {"{\"schema\":1,\"round\":[\"3\",2]}"sv, "OK"sv},
    {"{\"schema\":1,\"round\":[0,0,0,0,[1,\"S\",3]]}"sv,
     "trailing characters at line 1 column 37"sv},
    {"{\"schema\":1,\"deck\":[\"b\",1,2,3,[[14,\"S\",null,null,null,2,0]]]}"sv,
     "trailing characters at line 1 column 57"sv},
    {"{\"schema\":1,\"consumables\":[[\"c_pluto\"],[]]}"sv, "OK"sv},
    {"{\"schema\":1,\"consumables\":[[\"c_pluto\",1]]}"sv,
     "trailing characters at line 1 column 39"sv},
    {"{\"schema\":1,\"blind\":[\"bl_ox\",true,1,2]}"sv,
     "trailing characters at line 1 column 37"sv},
    {"{\"schema\":1,\"hand\":[[1,2,3]]}"sv,
     "invalid type: integer `3`, expected a string at line 1 column 26"sv},
    // Record messages and null handling
    {"{\"schema\":1,\"hand\":[{}]}"sv, "missing field `id` at line 1 column 22"sv},
    {"{\"schema\":1,\"jokers\":[{\"key\":\"j\"}]}"sv, "missing field `id` at line 1 column 33"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":true}]}"sv,
     "invalid type: boolean `true`, expected i64 at line 1 column 30"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":7.0}]}"sv,
     "invalid type: floating point `7.0`, expected i64 at line 1 column 29"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":null}]}"sv,
     "invalid type: null, expected i64 at line 1 column 30"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":9223372036854775808}]}"sv,
     "invalid value: integer `9223372036854775808`, expected i64 at line 1 column 45"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":-9223372036854775809}]}"sv,
     "invalid type: floating point `-9.223372036854776e+18`, expected i64 at line 1 column 46"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":\"7\"}]}"sv,
     "invalid type: string \"7\", expected i64 at line 1 column 29"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":[7]}]}"sv,
     "invalid type: sequence, expected i64 at line 1 column 26"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":{}}]}"sv,
     "invalid type: map, expected i64 at line 1 column 26"sv},
    {"{\"schema\":-1}"sv, "invalid value: integer `-1`, expected u32 at line 1 column 12"sv},
    {"{\"schema\":1.0}"sv,
     "invalid type: floating point `1.0`, expected u32 at line 1 column 13"sv},
    {"{\"schema\":4294967296}"sv,
     "invalid value: integer `4294967296`, expected u32 at line 1 column 20"sv},
    {"{\"schema\":null}"sv, "invalid type: null, expected u32 at line 1 column 14"sv},
    {"{\"schema\":-0}"sv,
     "invalid type: floating point `-0.0`, expected u32 at line 1 column 12"sv},
    {"{\"schema\":1e2}"sv,
     "invalid type: floating point `100.0`, expected u32 at line 1 column 13"sv},
    {"{\"schema\":18446744073709551616}"sv,
     "invalid type: floating point `1.8446744073709552e+19`, expected u32 at line 1 column 30"sv},
    {"{\"schema\":0.000001}"sv,
     "invalid type: floating point `1e-6`, expected u32 at line 1 column 18"sv},
    {"{\"schema\":12.5}"sv,
     "invalid type: floating point `12.5`, expected u32 at line 1 column 14"sv},
    {"{\"schema\":1,\"hand\":null}"sv,
     "invalid type: null, expected a sequence at line 1 column 23"sv},
    {"{\"schema\":1,\"lobby\":null}"sv,
     "invalid type: null, expected a boolean at line 1 column 24"sv},
    {"{\"schema\":1,\"vouchers\":[5]}"sv,
     "invalid type: integer `5`, expected a string at line 1 column 25"sv},
    {"{\"schema\":1,\"vouchers\":null}"sv,
     "invalid type: null, expected a sequence at line 1 column 27"sv},
    {"{\"schema\":1,\"vouchers\":[null]}"sv,
     "invalid type: null, expected a string at line 1 column 28"sv},
    {"{\"schema\":1,\"levels\":null}"sv,
     "invalid type: null, expected a map at line 1 column 25"sv},
    {"{\"schema\":1,\"levels\":[]}"sv,
     "invalid type: sequence, expected a map at line 1 column 21"sv},
    {"{\"schema\":1,\"levels\":{\"Pair\":5}}"sv,
     "invalid type: integer `5`, expected struct Level at line 1 column 30"sv},
    {"{\"schema\":1,\"levels\":{\"Pair\":null}}"sv,
     "invalid type: null, expected struct Level at line 1 column 33"sv},
    {"{\"schema\":1,\"blind\":null}"sv,
     "invalid type: null, expected struct Blind at line 1 column 24"sv},
    {"{\"schema\":1,\"round\":null}"sv,
     "invalid type: null, expected struct Round at line 1 column 24"sv},
    {"{\"schema\":1,\"round\":{\"idol\":null}}"sv,
     "invalid type: null, expected struct Idol at line 1 column 32"sv},
    {"{\"schema\":1,\"deck\":null}"sv,
     "invalid type: null, expected struct Deck at line 1 column 23"sv},
    {"{\"schema\":1,\"deck\":{\"contents\":null}}"sv,
     "invalid type: null, expected a sequence at line 1 column 35"sv},
    {"{\"schema\":1,\"deck\":{\"contents\":{}}}"sv,
     "invalid type: map, expected a sequence at line 1 column 31"sv},
    {"{\"schema\":1,\"deck\":{\"contents\":[5]}}"sv,
     "invalid type: integer `5`, expected struct DeckGroup at line 1 column 33"sv},
    {"{\"schema\":1,\"consumables\":{}}"sv,
     "invalid type: map, expected a sequence at line 1 column 26"sv},
    {"{\"schema\":1,\"consumables\":[null]}"sv,
     "invalid type: null, expected struct Consumable at line 1 column 31"sv},
    {"{\"schema\":1,\"options\":null}"sv,
     "invalid type: null, expected struct Options at line 1 column 26"sv},
    {"{\"schema\":1,\"options\":5}"sv,
     "invalid type: integer `5`, expected struct Options at line 1 column 23"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":7,\"perma\":null}]}"sv,
     "invalid type: null, expected struct Perma at line 1 column 40"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":7,\"perma\":\"x\"}]}"sv,
     "invalid type: string \"x\", expected struct Perma at line 1 column 39"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":1,\"enh\":5}]}"sv,
     "invalid type: integer `5`, expected a string at line 1 column 35"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":1,\"suit\":null}]}"sv,
     "invalid type: null, expected a string at line 1 column 39"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":1,\"debuff\":1}]}"sv,
     "invalid type: integer `1`, expected a boolean at line 1 column 38"sv},
    {"{\"schema\":1,\"blind\":{\"key\":5}}"sv,
     "invalid type: integer `5`, expected a string at line 1 column 28"sv},
    {"{\"schema\":1,\"blind\":{\"disabled\":\"x\"}}"sv,
     "invalid type: string \"x\", expected a boolean at line 1 column 35"sv},
    {"{\"schema\":1,\"round\":{\"ancient_suit\":false}}"sv,
     "invalid type: boolean `false`, expected a string at line 1 column 41"sv},
    {"{\"schema\":1,\"lobby\":\"a\\\"\\\\\\n\\r\\t\\u0000\\u001b'\\u00e9\"}"sv,
     "invalid type: string \"a\\\"\\\\\\n\\r\\t\\0\\u{1b}'\xc3\xa9\", expected a boolean at line 1 column 52"sv},
    {"{\"schema\":1,\"lobby\":\"\\u0301\\u200b\\u00a0\"}"sv,
     "invalid type: string \"\\u{301}\\u{200b}\\u{a0}\", expected a boolean at line 1 column 40"sv},
    {"{\"schema\":1,\"lobby\":[1]}"sv,
     "invalid type: sequence, expected a boolean at line 1 column 20"sv},
    {"{\"schema\":1,\"lobby\":{\"a\":1}}"sv,
     "invalid type: map, expected a boolean at line 1 column 20"sv},
    {"{\"schema\":1,\"lobby\":-5}"sv,
     "invalid type: integer `-5`, expected a boolean at line 1 column 22"sv},
    {"{\"schema\":1,\"lobby\":1e16}"sv,
     "invalid type: floating point `1e+16`, expected a boolean at line 1 column 24"sv},
    {"{\"schema\":1,\"lobby\":2.5e-7}"sv,
     "invalid type: floating point `2.5e-7`, expected a boolean at line 1 column 26"sv},
    {"{\"schema\":1,\"lobby\":0.00001}"sv,
     "invalid type: floating point `0.00001`, expected a boolean at line 1 column 27"sv},
    {"{\"schema\":1,\"lobby\":-0.0}"sv,
     "invalid type: floating point `-0.0`, expected a boolean at line 1 column 24"sv},
    {"{\"schema\":1,\"lobby\":x}"sv, "expected value at line 1 column 21"sv},
    {"{\"schema\":1,\"lobby\":}"sv, "expected value at line 1 column 21"sv},
    {"{\"schema\":1,\"lobby\":true,\"lobby\":false}"sv,
     "duplicate field `lobby` at line 1 column 32"sv},
    // Duplicate fields
    {"{\"schema\":1,\"schema\":2}"sv, "duplicate field `schema` at line 1 column 20"sv},
    {"{\"schema\":1,\"schema\" :1}"sv, "duplicate field `schema` at line 1 column 20"sv},
    {"{\"schema\":1,\"schema\"}"sv, "duplicate field `schema` at line 1 column 20"sv},
    {"{\"schema\":1,\"levels\":{\"Pair\":{\"level\":2,\"level\":3}}}"sv,
     "duplicate field `level` at line 1 column 47"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":1,\"id\":1}]}"sv,
     "duplicate field `id` at line 1 column 32"sv},
    {"{\"schema\":1,\"x\":1,\"x\":2}"sv, "OK"sv},
    {"{\"schema\":1,\"levels\":{\"Pair\":{\"chips\":10},\"Pair\":{\"chips\":20}}}"sv, "OK"sv},
    {"{\"schema\":1,\"options\":{\"seeded\":false,\"seeded\":false}}"sv,
     "duplicate field `seeded` at line 1 column 46"sv},
    {"{\"schema\":1,\"round\":{\"idol\":{\"suit\":\"a\",\"suit\":\"b\"}}}"sv,
     "duplicate field `suit` at line 1 column 46"sv},
    {"{\"schema\":1,\"jokers\":[{\"id\":1,\"ab\":{\"a\":1,\"a\":2}}]}"sv, "OK"sv},
    {"{\"schema\":1,\"jokers\":[{\"id\":1,\"ab\":1,\"ab\":2}]}"sv,
     "duplicate field `ab` at line 1 column 41"sv},
    {"{\"schema\":1,\"hand\":[],\"hand\":[]}"sv, "duplicate field `hand` at line 1 column 28"sv},
    // Objective
    {"{\"schema\":1,\"options\":{\"objective\":\"money\"}}"sv, "OK"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\":null}}}"sv, "OK"sv},
    {"{\"schema\":1,\"options\":{\"objective\": { \"score\" : null } }}"sv, "OK"sv},
    {"{\"schema\":1,\"options\":{\"objective\":\"Money\"}}"sv,
     "unknown variant `Money`, expected `score` or `money` at line 1 column 42"sv},
    {"{\"schema\":1,\"options\":{\"objective\":\"\"}}"sv,
     "unknown variant ``, expected `score` or `money` at line 1 column 37"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"Money\":null}}}"sv,
     "unknown variant `Money`, expected `score` or `money` at line 1 column 43"sv},
    {"{\"schema\":1,\"options\":{\"objective\":null}}"sv, "expected value at line 1 column 36"sv},
    {"{\"schema\":1,\"options\":{\"objective\":1}}"sv, "expected value at line 1 column 36"sv},
    {"{\"schema\":1,\"options\":{\"objective\":true}}"sv, "expected value at line 1 column 36"sv},
    {"{\"schema\":1,\"options\":{\"objective\":[]}}"sv, "expected value at line 1 column 36"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{}}}"sv, "expected value at line 1 column 37"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\":0}}}"sv,
     "invalid type: integer `0`, expected unit at line 1 column 45"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\":\"x\"}}}"sv,
     "invalid type: string \"x\", expected unit at line 1 column 47"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\":[]}}}"sv,
     "invalid type: sequence, expected unit at line 1 column 44"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\":null,\"x\":1}}}"sv,
     "expected value at line 1 column 49"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\":null ,}}}"sv,
     "expected value at line 1 column 50"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{1:null}}}"sv,
     "key must be a string at line 1 column 37"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\" null}}}"sv,
     "expected `:` at line 1 column 45"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{"sv,
     "EOF while parsing an object at line 1 column 36"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\""sv,
     "EOF while parsing an object at line 1 column 43"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\":"sv,
     "EOF while parsing a value at line 1 column 44"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\":null"sv,
     "EOF while parsing an object at line 1 column 48"sv},
    {"{\"schema\":1,\"options\":{\"objective\":"sv,
     "EOF while parsing a value at line 1 column 35"sv},
    {"{\"schema\":1,\"options\":{\"objective\":{\"money\":nul}}}"sv,
     "expected ident at line 1 column 48"sv},
    {"{\"schema\":1,\"options\":{\"objective\":\"\xff\"}}"sv,
     "invalid unicode code point at line 1 column 38"sv},
    // Lenient values
    {"{\"schema\":1,\"blind\":{\"target\":1e400}}"sv, "number out of range at line 1 column 35"sv},
    {"{\"schema\":1,\"blind\":{\"target\":[1,}}"sv, "expected value at line 1 column 34"sv},
    {"{\"schema\":1,\"blind\":{\"target\":{\"a\":\"\xff\"}}}"sv,
     "invalid unicode code point at line 1 column 38"sv},
    {"{\"schema\":1,\"blind\":{\"target\":\"\xff\"}}"sv,
     "invalid unicode code point at line 1 column 33"sv},
    {"{\"schema\":1,\"blind\":{\"target\":tru}}"sv, "expected ident at line 1 column 34"sv},
    {"{\"schema\":1,\"blind\":{\"target\":[1e400]}}"sv,
     "number out of range at line 1 column 36"sv},
    {"{\"schema\":1,\"hand\":[{\"id\":1,\"rank\":\"\\u00zz\"}]}"sv,
     "invalid escape at line 1 column 42"sv},
    {"{\"schema\":1,\"blind\":{\"target\":}}"sv, "expected value at line 1 column 31"sv},
    // Schema and options checks
    {"{\"schema\":2}"sv, "unsupported snapshot schema 2"sv},
    {"{\"schema\":0}"sv, "unsupported snapshot schema 0"sv},
    {"{\"schema\":4294967295}"sv, "unsupported snapshot schema 4294967295"sv},
    {"{\"schema\":1,\"options\":{\"seeded\":true}}"sv,
     "suggested discards and seeded mode aren't implemented"sv},
    {"{\"schema\":1,\"options\":{\"discards\":true}}"sv,
     "suggested discards and seeded mode aren't implemented"sv},
    {"{\"schema\":3,\"options\":{\"seeded\":true}}"sv, "unsupported snapshot schema 3"sv},
    {"{\"options\":{\"seeded\":true},\"schema\":2}"sv, "unsupported snapshot schema 2"sv},
    {"{\"schema\":2} x"sv, "trailing characters at line 1 column 14"sv},
    {"{\"schema\":2,\"lobby\":null}"sv,
     "invalid type: null, expected a boolean at line 1 column 24"sv},
    // Whitespace, BOM and trailing characters
    {"\xef\xbb\xbf{\"schema\":1}"sv, "expected value at line 1 column 1"sv},
    {"{\"schema\":1}\n   "sv, "OK"sv},
    {" \t\r\n{\"schema\":1} \t\r\n"sv, "OK"sv},
    {"{\"schema\":1}\x0c"sv, "trailing characters at line 1 column 13"sv},
    {"{\"schema\":1}{\"schema\":1}"sv, "trailing characters at line 1 column 13"sv},
    {"{\"schema\":1}\n  x"sv, "trailing characters at line 2 column 3"sv},
    {"{\"schema\":1}]"sv, "trailing characters at line 1 column 13"sv},
    {"[1]]"sv, "trailing characters at line 1 column 4"sv},
};

TEST(ParseErrors, Table) {
  for (const Case& c : kCases) {
    EXPECT_EQ(outcome(c.input), c.expected) << "input: " << c.input;
  }
}

// Arrays and objects that are read nest at most 127 deep, the snapshot itself
// being level 1; the 128th opening bracket is the error's position.
TEST(ParseErrors, RecursionLimitOfReadValues) {
  // Snapshot, "jokers" list and joker make three levels; "ab" adds the rest.
  auto ab = [](int depth) {
    return R"({"schema":1,"jokers":[{"id":1,"ab":)" + std::string(depth, '[') +
           std::string(depth, ']') + "}]}";
  };
  EXPECT_EQ(outcome(ab(124)), "OK");
  EXPECT_EQ(outcome(ab(125)), "recursion limit exceeded at line 1 column 160");
  // A lenient value inside "round": two levels above it.
  auto lenient = [](int depth) {
    std::string s = R"({"schema":1,"round":{"hands_left":)";
    for (int i = 0; i < depth; ++i) s += R"({"a":)";
    s += "1";
    s += std::string(depth, '}');
    return s + "}}";
  };
  EXPECT_EQ(outcome(lenient(125)), "OK");
  EXPECT_EQ(outcome(lenient(126)), "recursion limit exceeded at line 1 column 660");
  // Records and lists count too: snapshot, deck, "contents" and the group in
  // array form are four levels above the group's lenient "count".
  EXPECT_EQ(outcome(R"({"schema":1,"deck":{"contents":[[0,"S",null,null,null,)" +
                    std::string(123, '[') + std::string(123, ']') + "]]}}"),
            "OK");
  EXPECT_EQ(outcome(R"({"schema":1,"deck":{"contents":[[0,"S",null,null,null,)" +
                    std::string(124, '[') + std::string(124, ']') + "]]}}"),
            "recursion limit exceeded at line 1 column 178");
}

// Skipped members are checked for syntax only and have no nesting limit.
TEST(ParseErrors, SkippedMemberOfAnyDepth) {
  constexpr int kDepth = 1000000;
  std::string deep = R"({"schema":1,"unknown":)";
  for (int i = 0; i < kDepth; ++i) deep += i % 2 ? R"({"k":)" : "[";
  deep += "null";
  for (int i = kDepth - 1; i >= 0; --i) deep += i % 2 ? "}" : "]";
  deep += "}";
  EXPECT_EQ(outcome(deep), "OK");

  std::string unclosed = R"({"schema":1,"unknown":)" + std::string(kDepth, '[');
  EXPECT_EQ(outcome(unclosed), "EOF while parsing a list at line 1 column 1000022");
}

TEST(ParseErrors, SkippedValuesAreNotCheckedForUtf8OrRange) {
  EXPECT_EQ(outcome("{\"schema\":1,\"x\":[\"\xff\xfe\",1e999999,\"\\udc00\"]}"sv), "OK");
  EXPECT_EQ(outcome("{\"schema\":1,\"x\":{\"\xc0\":1e400}}"sv), "OK");
}

}  // namespace
}  // namespace quorvel::snapshot
