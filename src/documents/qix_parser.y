/* The document grammar: one LALR(1) parser for the five document kinds. The
   first token (from the loader's choice of kind) selects the grammar. Every
   check runs in the action of the construct it belongs to; a failed check
   reports through qix_parse_error and stops the parse (YYABORT, result 1).
   There is no error recovery. Lists are left-recursive, so the stack stays a
   few entries deep however long a list is. */

%define api.prefix {qix_}
%define api.token.prefix {QIXT_}

%code requires {
#include <cstdint>

#include "documents/qix_format.h"

namespace keln {
class qix_node_t;
class qix_header_t;
class qix_material_t;
class qix_part_t;
class qix_piece_t;
class qia_channel_t;
}  // namespace keln
}

%union {
  std::int32_t integer;
  float real;
  char text[64];
  std::uint32_t format;
  keln::qix_value_t value;
  keln::qix_header_t* header;
  keln::qix_material_t* material;
  keln::qix_part_t* part;
  keln::qix_piece_t* piece;
  keln::qia_channel_t* channel;
}

%code {
#include <cstring>

#include "documents/qix_checks.h"
#include "documents/qix_context.h"
#include "documents/qix_grammar_support.h"
#include "documents/qix_parse.h"
#include "documents/qix_scanner.h"

using namespace keln;

#define ctx g_qix_context

// Reports a message of the grammar and stops the parse.
#define QIX_STOP(message)      \
  do {                         \
    qix_parse_error(message);  \
    YYABORT;                   \
  } while (0)

// The parser's own failures are worded like the rest of its messages.
#define YY_(text) qix_grammar_text(text)

static void qix_error(const char* message) { qix_parse_error(message); }

// The stack starts with room for 200 entries and doubles up to 10,000.
#ifndef YYINITDEPTH
#define YYINITDEPTH 200
#endif
#ifndef YYMAXDEPTH
#define YYMAXDEPTH 10000
#endif
}

%token START_GEOMETRY START_SKELETON START_ANIMATION START_TRAIT START_COLLISION
%token HEADER GLOBAL MATERIAL PIECE STREAM TRIANGLES PART LOCATOR BONES SKIN SKINSTREAM
%token BONECHANNEL CUSTOMCHANNEL LOOK TEXTURE VARIANT ATTRIBUTE
%token FORMATVERSION SOURCE TYPE NAME ALIAS EFFECT SKELETON PARENT MATRIX INDEX FORMAT TAG VALUE
%token PIECES LOCATORS HOOKUP POSITION ROTATION SCALE PARAMETERS WEIGHT WEIGHTS CLONES TOTALTIME
%token VERTEXCOUNT TRIANGLECOUNT MATERIALCOUNT PIECECOUNT PARTCOUNT LOCATORCOUNT BONECOUNT
%token STREAMCOUNT ITEMCOUNT ATTRIBUTECOUNT TOTALWEIGHTCOUNT TOTALCLONECOUNT BONECHANNELCOUNT
%token CUSTOMCHANNELCOUNT KEYFRAMECOUNT LOOKCOUNT VARIANTCOUNT TEXTURECOUNT
%token FLOAT_FORMAT FLOAT2_FORMAT FLOAT3_FORMAT FLOAT4_FORMAT FLOAT5_FORMAT FLOAT6_FORMAT
%token FLOAT4X4_FORMAT QUATERNION_FORMAT INT_FORMAT STRING_FORMAT
%token <integer> INTEGER
%token <real> FLOAT
%token <text> STRING

%type <header> header
%type <format> format format_keyword
%type <value> group group0 group1 group2 group3 group4 group5 group6 group7 group8 group9
%type <material> material
%type <piece> piece
%type <part> part
%type <channel> channel_body
%type <integer> weights_head clones_head
%type <text> qim_hookup

%%

document
  : START_GEOMETRY qim_document
  | START_SKELETON qis_document
  | START_ANIMATION qia_document
  | START_TRAIT qit_document
  | START_COLLISION qic_document
  ;

/* ---- Common sections ---- */

header
  : HEADER '{' FORMATVERSION ':' INTEGER SOURCE ':' STRING TYPE ':' STRING NAME ':' STRING '}'
      {
        $$ = qix_parse_node<qix_header_t>();
        $$->format_version = $5;
        $$->source = $8;
        $$->type = $11;
        $$->name = $14;
      }
  ;

format
  : FORMAT ':' format_keyword { $$ = $3; }
  ;

format_keyword
  : FLOAT_FORMAT      { $$ = QIX_FORMAT_FLOAT; }
  | FLOAT2_FORMAT     { $$ = QIX_FORMAT_FLOAT2; }
  | FLOAT3_FORMAT     { $$ = QIX_FORMAT_FLOAT3; }
  | FLOAT4_FORMAT     { $$ = QIX_FORMAT_FLOAT4; }
  | FLOAT5_FORMAT     { $$ = QIX_FORMAT_FLOAT5; }
  | FLOAT6_FORMAT     { $$ = QIX_FORMAT_FLOAT6; }
  | INT_FORMAT        { $$ = QIX_FORMAT_INT; }
  | FLOAT4X4_FORMAT   { $$ = QIX_FORMAT_FLOAT4X4; }
  | QUATERNION_FORMAT { $$ = QIX_FORMAT_QUATERNION; }
  | STRING_FORMAT     { $$ = QIX_FORMAT_STRING; }
  ;

/* Value groups; the number after "group" is the form code. */
group
  : group0 | group1 | group2 | group3 | group4 | group5 | group6 | group7 | group9
  ;

group0 : '(' FLOAT ')' { const float f[] = {$2}; qix_float_value($$, QIX_FORMAT_FLOAT, f); } ;
group1 : '(' FLOAT FLOAT ')' { const float f[] = {$2, $3}; qix_float_value($$, QIX_FORMAT_FLOAT2, f); } ;
group2
  : '(' FLOAT FLOAT FLOAT ')'
      { const float f[] = {$2, $3, $4}; qix_float_value($$, QIX_FORMAT_FLOAT3, f); }
  ;
group3
  : '(' FLOAT FLOAT FLOAT FLOAT ')'
      { const float f[] = {$2, $3, $4, $5}; qix_float_value($$, QIX_FORMAT_FLOAT4, f); }
  ;
group4
  : '(' FLOAT FLOAT FLOAT FLOAT FLOAT ')'
      { const float f[] = {$2, $3, $4, $5, $6}; qix_float_value($$, QIX_FORMAT_FLOAT5, f); }
  ;
group5
  : '(' FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT ')'
      { const float f[] = {$2, $3, $4, $5, $6, $7}; qix_float_value($$, QIX_FORMAT_FLOAT6, f); }
  ;
group6 : '(' STRING ')' { qix_string_value($$, $2); } ;
group7 : '(' INTEGER ')' { const std::int32_t i[] = {$2}; qix_int_group_value($$, QIX_FORMAT_INT, i); } ;
group8
  : '(' INTEGER INTEGER INTEGER ')'
      { const std::int32_t i[] = {$2, $3, $4}; qix_int_group_value($$, QIX_FORMAT_TRIANGLE, i); }
  ;
group9
  : '(' FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT FLOAT ')'
      {
        const float f[] = {$2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, $17};
        qix_matrix_value($$, f);
      }
  ;

/* Item lists: one or more items of one group form, each checked into the
   current stream. */
item_list
  : items0 | items1 | items2 | items3 | items4 | items5 | items6 | items7 | items9
  ;
opt_item_list : %empty | item_list ;

items0 : item0 | items0 item0 ;
items1 : item1 | items1 item1 ;
items2 : item2 | items2 item2 ;
items3 : item3 | items3 item3 ;
items4 : item4 | items4 item4 ;
items5 : item5 | items5 item5 ;
items6 : item6 | items6 item6 ;
items7 : item7 | items7 item7 ;
items8 : item8 | items8 item8 ;
items9 : item9 | items9 item9 ;

item0 : INTEGER group0 { if (!qix_check_stream_item($1, $2)) YYABORT; } ;
item1 : INTEGER group1 { if (!qix_check_stream_item($1, $2)) YYABORT; } ;
item2 : INTEGER group2 { if (!qix_check_stream_item($1, $2)) YYABORT; } ;
item3 : INTEGER group3 { if (!qix_check_stream_item($1, $2)) YYABORT; } ;
item4 : INTEGER group4 { if (!qix_check_stream_item($1, $2)) YYABORT; } ;
item5 : INTEGER group5 { if (!qix_check_stream_item($1, $2)) YYABORT; } ;
item6 : INTEGER group6 { if (!qix_check_stream_item($1, $2)) YYABORT; } ;
item7 : INTEGER group7 { if (!qix_check_stream_item($1, $2)) YYABORT; } ;
item8 : INTEGER group8 { if (!qix_check_stream_item($1, $2)) YYABORT; } ;
item9 : INTEGER group9 { if (!qix_check_stream_item($1, $2)) YYABORT; } ;

material
  : MATERIAL '{' ALIAS ':' STRING EFFECT ':' STRING '}'
      {
        $$ = qix_parse_node<qix_material_t>();
        $$->alias = $5;
        $$->effect = $8;
      }
  ;

piece
  : PIECE '{' INDEX ':' INTEGER MATERIAL ':' INTEGER VERTEXCOUNT ':' INTEGER TRIANGLECOUNT ':' INTEGER
    STREAMCOUNT ':' INTEGER
      {
        ctx.piece = qix_parse_node<qix_piece_t>();
        ctx.piece->index = static_cast<std::uint32_t>($5);
        ctx.piece->material = static_cast<std::uint32_t>($8);
        ctx.piece->vertex_count = static_cast<std::uint32_t>($11);
        ctx.piece->triangle_count = static_cast<std::uint32_t>($14);
        ctx.piece->stream_count = static_cast<std::uint32_t>($17);
      }
    piece_streams triangles '}'
      {
        if (ctx.piece->streams.size() != ctx.piece->stream_count) QIX_STOP("incorrect number of Piece streams");
        $$ = ctx.piece;
      }
  ;

piece_streams : piece_stream | piece_streams piece_stream ;

piece_stream
  : STREAM '{' format TAG ':' STRING
      { qix_begin_stream($3, ctx.piece->vertex_count, $6); }
    opt_item_list '}'
      {
        if (ctx.stream->item_count != ctx.piece->vertex_count)
          QIX_STOP("mismatching Stream item count and VertexCount");
        ctx.piece->streams.push_back(ctx.stream);
      }
  ;

triangles
  : TRIANGLES '{'
      { qix_begin_stream(QIX_FORMAT_TRIANGLE, ctx.piece->triangle_count, ""); }
    opt_triangle_items '}'
      {
        if (ctx.stream->item_count != ctx.piece->triangle_count) QIX_STOP("invalid number of Triangles elements");
        ctx.piece->triangles = ctx.stream;
      }
  ;

opt_triangle_items : %empty | items8 ;

part
  : PART '{' NAME ':' STRING PIECECOUNT ':' INTEGER LOCATORCOUNT ':' INTEGER
      {
        ctx.part = qix_parse_node<qix_part_t>();
        ctx.part->name = $5;
        ctx.part->piece_count = static_cast<std::uint32_t>($8);
        ctx.part->locator_count = static_cast<std::uint32_t>($11);
      }
    PIECES ':' part_pieces LOCATORS ':' part_locators '}'
      {
        if (ctx.kind == QIX_GEOMETRY && ctx.part->piece_count == 0) QIX_STOP("Part with 0 Pieces not supported");
        $$ = ctx.part;
      }
  ;

part_pieces : %empty | part_pieces INTEGER { ctx.part->pieces.push_back(static_cast<std::uint32_t>($2)); } ;
part_locators : %empty | part_locators INTEGER { ctx.part->locators.push_back(static_cast<std::uint32_t>($2)); } ;

/* ---- Geometry document ---- */

qim_document
  : header
      {
        ctx.qim->header = $1;
        if ($1->format_version != 5) QIX_STOP("unsupported FormatVersion");
      }
    qim_global qim_materials qim_pieces qim_parts qim_tail
      {
        if (!qix_check_global_counts(ctx.qim->pieces, ctx.qim->global->piece_count, ctx.qim->parts.size(),
                                     ctx.qim->global->part_count, ctx.qim->locators.size(),
                                     ctx.qim->global->locator_count, ctx.qim->global->vertex_count,
                                     ctx.qim->global->triangle_count))
          YYABORT;
      }
  ;

qim_global
  : GLOBAL '{' VERTEXCOUNT ':' INTEGER TRIANGLECOUNT ':' INTEGER MATERIALCOUNT ':' INTEGER PIECECOUNT ':' INTEGER
    PARTCOUNT ':' INTEGER BONECOUNT ':' INTEGER LOCATORCOUNT ':' INTEGER SKELETON ':' STRING '}'
      {
        qim_global_t* global = qix_parse_node<qim_global_t>();
        global->vertex_count = static_cast<std::uint32_t>($5);
        global->triangle_count = static_cast<std::uint32_t>($8);
        global->material_count = static_cast<std::uint32_t>($11);
        global->piece_count = static_cast<std::uint32_t>($14);
        global->part_count = static_cast<std::uint32_t>($17);
        global->bone_count = static_cast<std::uint32_t>($20);
        global->locator_count = static_cast<std::uint32_t>($23);
        global->skeleton = $26;
        ctx.qim->global = global;
      }
  ;

qim_materials : material { ctx.qim->materials.push_back($1); } | qim_materials material { ctx.qim->materials.push_back($2); } ;
qim_pieces : piece { ctx.qim->pieces.push_back($1); } | qim_pieces piece { ctx.qim->pieces.push_back($2); } ;
qim_parts : part { ctx.qim->parts.push_back($1); } | qim_parts part { ctx.qim->parts.push_back($2); } ;

qim_tail
  : %empty
  | qim_locators
  | qim_locators qim_bones qim_skin
  | qim_bones qim_skin
  ;

qim_locators : qim_locator | qim_locators qim_locator ;

qim_locator
  : LOCATOR '{' NAME ':' STRING qim_hookup INDEX ':' INTEGER POSITION ':' group2 ROTATION ':' group3
    SCALE ':' group2 '}'
      {
        qim_locator_t* locator = qix_parse_node<qim_locator_t>();
        locator->name = $5;
        locator->hookup = $6;
        locator->index = static_cast<std::uint32_t>($9);
        std::memcpy(locator->position, $12.data, sizeof(locator->position));
        std::memcpy(locator->rotation, $15.data, sizeof(locator->rotation));
        std::memcpy(locator->scale, $18.data, sizeof(locator->scale));
        ctx.qim->locators.push_back(locator);
      }
  ;

qim_hookup : %empty { $$[0] = '\0'; } | HOOKUP ':' STRING { std::memcpy($$, $3, sizeof($$)); } ;

qim_bones
  : BONES '{'
      { qix_begin_stream(QIX_FORMAT_STRING, ctx.qim->global->bone_count, ""); }
    items6 '}'
      {
        if (ctx.stream->item_count != ctx.qim->global->bone_count) QIX_STOP("invalid number of Bones elements");
        for (std::uint32_t i = 0; i < ctx.stream->item_count; ++i)
          ctx.qim->bone_names.push_back(reinterpret_cast<const char*>(ctx.stream->item(i)));
      }
  ;

qim_skin
  : SKIN '{' STREAMCOUNT ':' INTEGER
      {
        ctx.skin = qix_parse_node<qim_skin_t>();
        ctx.skin->stream_count = static_cast<std::uint32_t>($5);
      }
    skin_streams '}'
      {
        if (ctx.skin->streams.size() != ctx.skin->stream_count) QIX_STOP("incorrect number of Skin streams");
        ctx.qim->skin = ctx.skin;
      }
  ;

skin_streams : skin_stream | skin_streams skin_stream ;

skin_stream
  : SKINSTREAM '{' format TAG ':' STRING ITEMCOUNT ':' INTEGER TOTALWEIGHTCOUNT ':' INTEGER
    TOTALCLONECOUNT ':' INTEGER
      {
        ctx.skinstream = qix_parse_node<qim_skinstream_t>();
        ctx.skinstream->allocate_skin($3, static_cast<std::uint32_t>($9), static_cast<std::uint32_t>($12),
                                      static_cast<std::uint32_t>($15));
        ctx.skinstream->tag = $6;
        ctx.expected_skin_item = 0;
      }
    skin_items '}'
      { ctx.skin->streams.push_back(ctx.skinstream); }
  ;

skin_items : skin_item | skin_items skin_item ;

skin_item
  : INTEGER '(' group
      { if (!qix_check_skin_item($1, $3)) YYABORT; }
    skin_weights skin_clones ')'
  ;

skin_weights
  : weights_head { if ($1 != 0) QIX_STOP("invalid Weights count"); }
  | weights_head weight_pairs
  ;

weights_head
  : WEIGHTS ':' INTEGER
      {
        if (!ctx.skinstream->set_weight_count(static_cast<std::uint32_t>($3))) QIX_STOP("cannot set weight count");
        $$ = $3;
      }
  ;

weight_pairs : weight_pair | weight_pairs weight_pair ;

weight_pair
  : INTEGER FLOAT
      { if (!ctx.skinstream->add_weight(static_cast<std::uint32_t>($1), $2)) QIX_STOP("cannot add weight pair"); }
  ;

skin_clones
  : clones_head { if ($1 != 0) QIX_STOP("invalid Clones count"); }
  | clones_head clone_pairs
  ;

clones_head
  : CLONES ':' INTEGER
      {
        if (!ctx.skinstream->set_clone_count(static_cast<std::uint32_t>($3))) QIX_STOP("cannot set clone count");
        $$ = $3;
      }
  ;

clone_pairs : clone_pair | clone_pairs clone_pair ;

clone_pair
  : INTEGER INTEGER
      {
        if (!ctx.skinstream->add_clone(static_cast<std::uint32_t>($1), static_cast<std::uint32_t>($2)))
          QIX_STOP("cannot add clone pair");
      }
  ;

/* ---- Skeleton document ---- */

qis_document
  : header
      {
        ctx.qis->header = $1;
        if ($1->format_version != 1) qix_parse_error("unsupported FormatVersion");
      }
    qis_global qis_bones
  ;

qis_global
  : GLOBAL '{' BONECOUNT ':' INTEGER '}'
      {
        ctx.qis->global = qix_parse_node<qis_global_t>();
        ctx.qis->global->bone_count = static_cast<std::uint32_t>($5);
      }
  ;

qis_bones
  : BONES '{'
      {
        ctx.bones = qix_parse_node<qis_bones_t>();
        ctx.expected_bone = 0;
      }
    bone_list '}'
      {
        if (ctx.bones->bone_list.size() != ctx.qis->global->bone_count)
          QIX_STOP("incorrect number of bones in Skeleton");
        ctx.qis->bones = ctx.bones;
      }
  ;

bone_list : bone | bone_list bone ;

bone
  : INTEGER '(' NAME ':' STRING PARENT ':' STRING MATRIX ':' group9 ')'
      {
        if (!qix_check_bone($1, $5, $8, reinterpret_cast<const float*>($11.data))) YYABORT;
      }
  ;

/* ---- Animation document ---- */

qia_document
  : header
      {
        ctx.qia->header = $1;
        if ($1->format_version != 3) qix_parse_error("unsupported FormatVersion");
      }
    qia_global qia_channels
  ;

qia_global
  : GLOBAL '{' SKELETON ':' STRING TOTALTIME ':' FLOAT BONECHANNELCOUNT ':' INTEGER
    CUSTOMCHANNELCOUNT ':' INTEGER '}'
      {
        qia_global_t* global = qix_parse_node<qia_global_t>();
        global->skeleton = $5;
        global->total_time = $8;
        global->bone_channel_count = static_cast<std::uint32_t>($11);
        global->custom_channel_count = static_cast<std::uint32_t>($14);
        ctx.qia->global = global;
      }
  ;

qia_channels
  : custom_channels
  | bone_channels
  | custom_channels bone_channels
  ;

custom_channels
  : CUSTOMCHANNEL channel_body { ctx.qia->custom_channels.push_back($2); }
  | custom_channels CUSTOMCHANNEL channel_body { ctx.qia->custom_channels.push_back($3); }
  ;

bone_channels
  : BONECHANNEL channel_body { ctx.qia->bone_channels.push_back($2); }
  | bone_channels BONECHANNEL channel_body { ctx.qia->bone_channels.push_back($3); }
  ;

channel_body
  : '{' NAME ':' STRING STREAMCOUNT ':' INTEGER KEYFRAMECOUNT ':' INTEGER
      {
        ctx.channel = qix_parse_node<qia_channel_t>();
        ctx.channel->name = $4;
        ctx.channel->stream_count = static_cast<std::uint32_t>($7);
        ctx.channel->keyframe_count = static_cast<std::uint32_t>($10);
      }
    channel_streams '}'
      {
        if (ctx.channel->streams.size() != ctx.channel->stream_count)
          QIX_STOP("mismatching StreamCount and number of Streams");
        $$ = ctx.channel;
      }
  ;

channel_streams : channel_stream | channel_streams channel_stream ;

channel_stream
  : STREAM '{' format TAG ':' STRING
      { qix_begin_stream($3, ctx.channel->keyframe_count, $6); }
    item_list '}'
      {
        if (ctx.stream->item_count != ctx.channel->keyframe_count)
          QIX_STOP("mismatching Stream item count and KeyframeCount");
        ctx.channel->streams.push_back(ctx.stream);
      }
  ;

/* ---- Trait document ---- */

qit_document
  : header
      {
        ctx.qit->header = $1;
        if ($1->format_version != 1) qix_parse_error("unsupported FormatVersion");
      }
    qit_global looks variants
  ;

qit_global
  : GLOBAL '{' LOOKCOUNT ':' INTEGER VARIANTCOUNT ':' INTEGER PARTCOUNT ':' INTEGER MATERIALCOUNT ':' INTEGER '}'
      {
        qit_global_t* global = qix_parse_node<qit_global_t>();
        global->look_count = static_cast<std::uint32_t>($5);
        global->variant_count = static_cast<std::uint32_t>($8);
        global->part_count = static_cast<std::uint32_t>($11);
        global->material_count = static_cast<std::uint32_t>($14);
        ctx.qit->global = global;
      }
  ;

looks : look | looks look ;

look
  : LOOK '{' NAME ':' STRING
      {
        ctx.look = qix_parse_node<qit_look_t>();
        ctx.look->name = $5;
      }
    trait_materials '}'
      {
        if (ctx.look->materials.size() != ctx.qit->global->material_count)
          QIX_STOP("mismatching Material item count and MaterialCount");
        ctx.qit->looks.push_back(ctx.look);
      }
  ;

trait_materials : trait_material | trait_materials trait_material ;

trait_material
  : MATERIAL '{' ALIAS ':' STRING EFFECT ':' STRING ATTRIBUTECOUNT ':' INTEGER TEXTURECOUNT ':' INTEGER
      {
        ctx.trait_material = qix_parse_node<qit_material_t>();
        ctx.trait_material->alias = $5;
        ctx.trait_material->effect = $8;
        ctx.trait_material->attribute_count = static_cast<std::uint32_t>($11);
        ctx.trait_material->texture_count = static_cast<std::uint32_t>($14);
        ctx.attribute_holder = ctx.trait_material;
      }
    opt_attributes opt_textures '}'
      {
        ctx.attribute_holder = nullptr;
        if (ctx.trait_material->textures.size() != ctx.trait_material->texture_count)
          QIX_STOP("mismatching Texture item count and TextureCount");
        ctx.look->materials.push_back(ctx.trait_material);
      }
  ;

opt_textures : %empty | textures ;
textures : texture | textures texture ;

texture
  : TEXTURE '{' TAG ':' STRING VALUE ':' STRING '}'
      {
        qit_texture_t* texture = qix_parse_node<qit_texture_t>();
        texture->tag = $5;
        texture->value = $8;
        ctx.trait_material->textures.push_back(texture);
      }
  ;

opt_attributes : %empty | attributes ;
attributes : attribute | attributes attribute ;

attribute
  : ATTRIBUTE '{' format TAG ':' STRING VALUE ':' group '}'
      {
        qix_attribute_t* attribute = qix_parse_node<qix_attribute_t>();
        attribute->format = $3;
        attribute->tag = $6;
        attribute->value = $9;
        ctx.attribute_holder->attributes.push_back(attribute);
        if (attribute->format != attribute->value.format) QIX_STOP("mismatching Attribute and Value format");
      }
  ;

variants : variant | variants variant ;

variant
  : VARIANT '{' NAME ':' STRING
      {
        ctx.variant = qix_parse_node<qit_variant_t>();
        ctx.variant->name = $5;
      }
    trait_parts '}'
      {
        if (ctx.variant->parts.size() != ctx.qit->global->part_count)
          QIX_STOP("mismatching Part item count and PartCount");
        ctx.qit->variants.push_back(ctx.variant);
      }
  ;

trait_parts : trait_part | trait_parts trait_part ;

trait_part
  : PART '{' NAME ':' STRING ATTRIBUTECOUNT ':' INTEGER
      {
        ctx.trait_part = qix_parse_node<qit_part_t>();
        ctx.trait_part->name = $5;
        ctx.trait_part->attribute_count = static_cast<std::uint32_t>($8);
        ctx.attribute_holder = ctx.trait_part;
      }
    opt_attributes '}'
      {
        ctx.attribute_holder = nullptr;
        if (ctx.trait_part->attributes.size() != ctx.trait_part->attribute_count)
          QIX_STOP("mismatching Attribute item count and AttributeCount");
        ctx.variant->parts.push_back(ctx.trait_part);
      }
  ;

/* ---- Collision document ---- */

qic_document
  : header
      {
        ctx.qic->header = $1;
        if ($1->format_version != 2) QIX_STOP("unsupported FormatVersion");
      }
    qic_global qic_meshes qic_parts qic_locators
      {
        if (!qix_check_global_counts(ctx.qic->pieces, ctx.qic->global->piece_count, ctx.qic->parts.size(),
                                     ctx.qic->global->part_count, ctx.qic->locators.size(),
                                     ctx.qic->global->locator_count, ctx.qic->global->vertex_count,
                                     ctx.qic->global->triangle_count))
          YYABORT;
      }
  ;

qic_global
  : GLOBAL '{' VERTEXCOUNT ':' INTEGER TRIANGLECOUNT ':' INTEGER MATERIALCOUNT ':' INTEGER PIECECOUNT ':' INTEGER
    PARTCOUNT ':' INTEGER LOCATORCOUNT ':' INTEGER '}'
      {
        qic_global_t* global = qix_parse_node<qic_global_t>();
        global->vertex_count = static_cast<std::uint32_t>($5);
        global->triangle_count = static_cast<std::uint32_t>($8);
        global->material_count = static_cast<std::uint32_t>($11);
        global->piece_count = static_cast<std::uint32_t>($14);
        global->part_count = static_cast<std::uint32_t>($17);
        global->locator_count = static_cast<std::uint32_t>($20);
        ctx.qic->global = global;
      }
  ;

qic_meshes : %empty | qic_materials qic_pieces ;
qic_materials : material { ctx.qic->materials.push_back($1); } | qic_materials material { ctx.qic->materials.push_back($2); } ;
qic_pieces : piece { ctx.qic->pieces.push_back($1); } | qic_pieces piece { ctx.qic->pieces.push_back($2); } ;
qic_parts : part { ctx.qic->parts.push_back($1); } | qic_parts part { ctx.qic->parts.push_back($2); } ;

qic_locators : %empty | qic_locators qic_locator ;

qic_locator
  : LOCATOR '{' NAME ':' STRING INDEX ':' INTEGER POSITION ':' group2 ROTATION ':' group3 ALIAS ':' STRING
    WEIGHT ':' FLOAT TYPE ':' STRING PARAMETERS ':' group3 '}'
      {
        qic_locator_t* locator = qix_parse_node<qic_locator_t>();
        locator->name = $5;
        locator->index = static_cast<std::uint32_t>($8);
        std::memcpy(locator->position, $11.data, sizeof(locator->position));
        std::memcpy(locator->rotation, $14.data, sizeof(locator->rotation));
        locator->alias = $17;
        locator->weight = $20;
        if (!qic_type_from_name($23, locator->type)) QIX_STOP("unknown Type");
        std::memcpy(locator->parameters, $26.data, qic_parameter_count(locator->type) * sizeof(float));
        ctx.qic->locators.push_back(locator);
      }
  ;
