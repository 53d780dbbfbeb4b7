/*
 * Records of the type data model.
 *
 * The host's structure library and the service work on the same memory, so
 * every layout here is fixed to the byte for a 32-bit process (pointers of
 * 4 bytes, little-endian). Where pointers are wider the records keep their
 * field order and natural alignment; their offsets then differ and nothing
 * may rely on the 32-bit numbers.
 *
 * Of the structure library's records only the fields the service uses are
 * named; the reserved bytes between them belong to that library.
 *
 * Usable from C99 and C++.
 */
#ifndef TYPEDATA_MODEL_RECORDS_H
#define TYPEDATA_MODEL_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Vocabulary -------------------------------------------------------- */

/* Limits of names, numbers and texts. */
#define TD_TYPE_NAME_MAX 23  /* characters of a type name */
#define TD_TYPE_NAME_SIZE 24 /* bytes of a type name field */
#define TD_PREFIX_MAX 7      /* characters of a config's file-name prefix */
#define TD_PREFIX_SIZE 8     /* bytes of a prefix buffer */
#define TD_DAT_NAME_MAX 15   /* characters of a type data file name */
#define TD_DAT_NAME_SIZE 16  /* bytes of a datName field */
#define TD_TEXT_MAX 259      /* characters of a V text */
#define TD_TEXT_SIZE 260     /* bytes of one V text */
#define TD_TYPE_NO_MAX 9999  /* highest type number */
#define TD_PATH_SIZE 260     /* bytes of a path buffer */
#define TD_NAME_PART_MAX 3   /* name parts of a type name */

/* Kind letters. */
#define TD_KIND_D 'D'
#define TD_KIND_S 'S'
#define TD_KIND_A 'A'
#define TD_KIND_L 'L'
#define TD_KIND_V 'V'

/* Kind codes: the kind byte of a CfgId and the index into a kindTable. */
#define TD_CODE_D 0
#define TD_CODE_S 1
#define TD_CODE_A 4
#define TD_CODE_L 5
#define TD_CODE_V 6
#define TD_KIND_CODE_COUNT 7 /* entries a kindTable holds at least */

/* Block slots of a BlockTable. */
#define TD_SLOT_D 0
#define TD_SLOT_S 1
#define TD_SLOT_A 2
#define TD_SLOT_L 3
#define TD_SLOT_OFFLINE_D 4
#define TD_SLOT_OFFLINE_S 5
#define TD_SLOT_OFFLINE_V 6
#define TD_SLOT_V 7
#define TD_SLOT_COUNT 8

/* Sizes of the service's own allocations. */
#define TD_BLOCK_TABLE_SIZE ((uint32_t)sizeof(BlockTable))
#define TD_VALUE_BLOCK_SIZE(count) ((uint32_t)(count)*8u + 16u)
#define TD_TEXT_BLOCK_SIZE(count) ((uint32_t)(count)*260u + 264u)

/* Data type letters that mark an item not in use, and real items. */
#define TD_TYPE_UNUSED_0 '\0'
#define TD_TYPE_UNUSED_BLANK ' '
#define TD_TYPE_REAL_P 'P'
#define TD_TYPE_REAL_F 'F'

/* ---- CfgId ------------------------------------------------------------- */

/* Identifier of one item: config index in bits 0-7, kind code in bits
 * 8-15, item index in bits 16-31. */
typedef uint32_t CfgId;

#define TD_CFGID(itemIndex, kindCode, configIndex)                                         \
  ((CfgId)((((uint32_t)(itemIndex)&0xFFFFu) << 16) | (((uint32_t)(kindCode)&0xFFu) << 8) | \
           ((uint32_t)(configIndex)&0xFFu)))
#define TD_CFGID_CONFIG(id) ((unsigned)((id)&0xFFu))
#define TD_CFGID_KIND(id) ((unsigned)(((id) >> 8) & 0xFFu))
#define TD_CFGID_ITEM(id) ((unsigned)(((id) >> 16) & 0xFFFFu))

/* ---- Records of the structure library ---------------------------------- */

typedef struct ConfigRecord ConfigRecord;
typedef struct TypeRecord TypeRecord;

/* The machine's system record. */
typedef struct SystemRecord {
  unsigned char reserved0[0xA8];
  char localeText[0x180 - 0xA8]; /* 0xA8 */
  ConfigRecord* configList;      /* 0x180 */
  unsigned char reserved1[0x426 - 0x184];
  int16_t offlineEnabled; /* 0x426 */
  uint16_t namePartCount; /* 0x428 */
  unsigned char reserved2[0x43C - 0x42A];
  char currentTypeName[TD_TYPE_NAME_SIZE]; /* 0x43C */
  uint16_t currentTypeNo;                  /* 0x454 */
  unsigned char reserved3[2];
  int16_t typeListOrder; /* 0x458 */
  unsigned char reserved4[6];
} SystemRecord;

/* The catalogue of types. */
typedef struct TypeCatalogue {
  uint16_t maxTypeNo;      /* 0 */
  uint16_t typeCount;      /* 2 */
  uint16_t configCount;    /* 4 */
  uint16_t typeRecordSize; /* 6 */
  TypeRecord* typeList;    /* 8 */
} TypeCatalogue;

/* Number of items of one kind in a config (entry k describes kind code k). */
typedef struct KindCount {
  uint16_t reserved0;
  uint16_t count; /* 2 */
  unsigned char reserved1[4];
} KindCount;

/* One config of the machine. */
struct ConfigRecord {
  char name[24];        /* 0x00: file-name prefix, at most 7 characters */
  KindCount* kindTable; /* 0x18 */
  unsigned char reserved0[0x40 - 0x1C];
  uint16_t configNo; /* 0x40: config number from 1; 0 names none */
  unsigned char reserved1[0x4E - 0x42];
  uint16_t partNo; /* 0x4E: name part through which it is shared */
  unsigned char reserved2[0x54 - 0x50];
  ConfigRecord* next; /* 0x54 */
};

/* Description of one item. */
typedef struct CfgIdRecord {
  unsigned char reserved0[0x28];
  unsigned char conversion[3]; /* 0x28: start of the conversion descriptor */
  char dataType;               /* 0x2B: lies within the descriptor */
  unsigned char conversionRest[0x40 - 0x2C];
  double defaultValue; /* 0x40 */
} CfgIdRecord;

/* ---- Records of the service -------------------------------------------- */

#if defined(__cplusplus) && (defined(__GNUC__) || defined(__clang__))
/* A value block and a type record end in a flexible array member: standard
 * C99, and in C++ an extension of every compiler in use, said so here so
 * that hosts compiled with -pedantic -Werror (or /W4 /WX) take the header.
 * The layouts are those of C. */
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#elif defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4200) /* zero-sized array in struct/union */
#endif

/* Numbers of one kind: count x 8 + 16 bytes are allocated, room for one
 * value beyond count. */
typedef struct ValueBlock {
  char kind; /* 0: 'D', 'S', 'A' or 'L' */
  unsigned char reserved0;
  uint16_t count; /* 2 */
  unsigned char reserved1[4];
  double values[]; /* 8 */
} ValueBlock;

/* Texts of kind V: count x 260 + 264 bytes are allocated, room for one text
 * beyond count. */
typedef struct TextBlock {
  char kind; /* 0: 'V' */
  unsigned char reserved0;
  uint16_t count;             /* 2 */
  char texts[][TD_TEXT_SIZE]; /* 4 */
} TextBlock;

/* The blocks of one config, by block slot (TD_SLOT_*): slots 0-5 hold
 * ValueBlocks, slots 6 and 7 TextBlocks. A null slot holds no block. */
typedef struct BlockTable {
  void* slot[TD_SLOT_COUNT];
} BlockTable;

/* One type's entry for one config. */
typedef struct ConfigEntry {
  char datName[TD_DAT_NAME_SIZE]; /* 0 */
  BlockTable* blocks;             /* 16 */
} ConfigEntry;

/* One type of the catalogue; typeRecordSize bytes with configCount entries. */
struct TypeRecord {
  char name[TD_TYPE_NAME_SIZE]; /* 0x00 */
  uint16_t typeNo;              /* 0x18 */
  unsigned char reserved0[2];
  TypeRecord* next;      /* 0x1C */
  ConfigEntry configs[]; /* 0x20 */
};

#if defined(__cplusplus) && (defined(__GNUC__) || defined(__clang__))
#pragma GCC diagnostic pop
#elif defined(_MSC_VER)
#pragma warning(pop)
#endif

/* Bytes a TypeRecord of configCount entries needs at least. */
#define TD_TYPE_RECORD_SIZE(configCount) \
  ((uint32_t)(offsetof(TypeRecord, configs) + (size_t)(configCount) * sizeof(ConfigEntry)))

/* ---- The 32-bit layout, pinned ------------------------------------------ */

#if defined(__cplusplus)
#define TD_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define TD_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#else /* C99: a negative array size stops the compile */
#define TD_SA_JOIN2(a, b) a##b
#define TD_SA_JOIN(a, b) TD_SA_JOIN2(a, b)
#define TD_STATIC_ASSERT(cond, msg) typedef char TD_SA_JOIN(td_static_assert_, __LINE__)[(cond) ? 1 : -1]
#endif

#if UINTPTR_MAX == 0xFFFFFFFFu
TD_STATIC_ASSERT(offsetof(SystemRecord, localeText) == 0xA8, "localeText");
TD_STATIC_ASSERT(offsetof(SystemRecord, configList) == 0x180, "configList");
TD_STATIC_ASSERT(offsetof(SystemRecord, offlineEnabled) == 0x426, "offlineEnabled");
TD_STATIC_ASSERT(offsetof(SystemRecord, namePartCount) == 0x428, "namePartCount");
TD_STATIC_ASSERT(offsetof(SystemRecord, currentTypeName) == 0x43C, "currentTypeName");
TD_STATIC_ASSERT(offsetof(SystemRecord, currentTypeNo) == 0x454, "currentTypeNo");
TD_STATIC_ASSERT(offsetof(SystemRecord, typeListOrder) == 0x458, "typeListOrder");

TD_STATIC_ASSERT(offsetof(TypeCatalogue, maxTypeNo) == 0, "maxTypeNo");
TD_STATIC_ASSERT(offsetof(TypeCatalogue, typeCount) == 2, "typeCount");
TD_STATIC_ASSERT(offsetof(TypeCatalogue, configCount) == 4, "configCount");
TD_STATIC_ASSERT(offsetof(TypeCatalogue, typeRecordSize) == 6, "typeRecordSize");
TD_STATIC_ASSERT(offsetof(TypeCatalogue, typeList) == 8, "typeList");

TD_STATIC_ASSERT(offsetof(TypeRecord, name) == 0x00, "TypeRecord.name");
TD_STATIC_ASSERT(offsetof(TypeRecord, typeNo) == 0x18, "TypeRecord.typeNo");
TD_STATIC_ASSERT(offsetof(TypeRecord, next) == 0x1C, "TypeRecord.next");
TD_STATIC_ASSERT(offsetof(TypeRecord, configs) == 0x20, "TypeRecord.configs");
TD_STATIC_ASSERT(sizeof(TypeRecord) == 32, "TypeRecord header");

TD_STATIC_ASSERT(offsetof(ConfigEntry, datName) == 0, "datName");
TD_STATIC_ASSERT(offsetof(ConfigEntry, blocks) == 16, "blocks");
TD_STATIC_ASSERT(sizeof(ConfigEntry) == 20, "ConfigEntry");

TD_STATIC_ASSERT(sizeof(BlockTable) == 32, "BlockTable");

TD_STATIC_ASSERT(offsetof(ValueBlock, kind) == 0, "ValueBlock.kind");
TD_STATIC_ASSERT(offsetof(ValueBlock, count) == 2, "ValueBlock.count");
TD_STATIC_ASSERT(offsetof(ValueBlock, values) == 8, "ValueBlock.values");

TD_STATIC_ASSERT(offsetof(TextBlock, kind) == 0, "TextBlock.kind");
TD_STATIC_ASSERT(offsetof(TextBlock, count) == 2, "TextBlock.count");
TD_STATIC_ASSERT(offsetof(TextBlock, texts) == 4, "TextBlock.texts");

TD_STATIC_ASSERT(offsetof(ConfigRecord, name) == 0x00, "ConfigRecord.name");
TD_STATIC_ASSERT(offsetof(ConfigRecord, kindTable) == 0x18, "kindTable");
TD_STATIC_ASSERT(offsetof(ConfigRecord, configNo) == 0x40, "configNo");
TD_STATIC_ASSERT(offsetof(ConfigRecord, partNo) == 0x4E, "partNo");
TD_STATIC_ASSERT(offsetof(ConfigRecord, next) == 0x54, "ConfigRecord.next");

TD_STATIC_ASSERT(sizeof(KindCount) == 8, "KindCount");
TD_STATIC_ASSERT(offsetof(KindCount, count) == 2, "KindCount.count");

TD_STATIC_ASSERT(offsetof(CfgIdRecord, conversion) == 0x28, "conversion");
TD_STATIC_ASSERT(offsetof(CfgIdRecord, dataType) == 0x2B, "dataType");
TD_STATIC_ASSERT(offsetof(CfgIdRecord, defaultValue) == 0x40, "defaultValue");
#endif

TD_STATIC_ASSERT(sizeof(CfgId) == 4, "CfgId is 32 bits");

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* TYPEDATA_MODEL_RECORDS_H */
