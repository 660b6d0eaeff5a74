# Run at build time (cmake -P): writes a C++ source holding the page's style
# sheet and script as bytes, with the base64 SHA-256 of each, which the
# page's Content-Security-Policy names so that only these two may apply.
#   -DSTYLE=page.css -DSCRIPTS="rules.js;page.js" -DOUTPUT=PageAssets.cpp
# The script is the scripts' texts one after the other.

# The base64 of the bytes a hex string spells, three bytes at a time.
function(base64_of_hex hex out)
    set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
    string(LENGTH "${hex}" length)
    set(result "")
    set(at 0)
    while(at LESS length)
        string(SUBSTRING "${hex}" ${at} 6 group)
        string(LENGTH "${group}" digits)
        string(SUBSTRING "${group}000000" 0 6 group)
        math(EXPR value "0x${group}")
        # Two hex digits are one byte; n bytes give n + 1 characters.
        math(EXPR characters "${digits} / 2 + 1")
        set(index 0)
        foreach(shift 18 12 6 0)
            if(index LESS characters)
                math(EXPR sextet "(${value} >> ${shift}) & 63")
                string(SUBSTRING "${alphabet}" ${sextet} 1 character)
                string(APPEND result "${character}")
            else()
                string(APPEND result "=")
            endif()
            math(EXPR index "${index} + 1")
        endforeach()
        math(EXPR at "${at} + 6")
    endwhile()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

# A C++ array of the bytes of `hex`.
function(array_of_hex name hex out)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n"
           bytes "${bytes}")
    set(${out} "const unsigned char ${name}[] = {\n${bytes}};\n" PARENT_SCOPE)
endfunction()

# The text and hex of files one after the other.
function(read_files files text_out hex_out)
    set(text "")
    set(hex "")
    foreach(file IN LISTS files)
        file(READ "${file}" part)
        file(READ "${file}" part_hex HEX)
        string(APPEND text "${part}")
        string(APPEND hex "${part_hex}")
    endforeach()
    set(${text_out} "${text}" PARENT_SCOPE)
    set(${hex_out} "${hex}" PARENT_SCOPE)
endfunction()

# An asset: its bytes, their count and their hash.
function(asset_source name files out)
    read_files("${files}" text hex)
    string(SHA256 digest "${text}")
    base64_of_hex("${digest}" hash)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    array_of_hex(k${name}Bytes "${hex}" array)
    set(${out} "${array}const PageAsset k${name}{{reinterpret_cast<const char*>(k${name}Bytes), ${size}}, \"${hash}\"};\n"
        PARENT_SCOPE)
endfunction()

asset_source(Style "${STYLE}" style)
asset_source(Script "${SCRIPTS}" script)
file(WRITE "${OUTPUT}.new" "// Written by EmbedPageAssets.cmake from the page's style sheet and script.
#include \"zibconv/page/PageAssets.h\"

namespace {
${style}${script}} // namespace

const PageAsset& pageStyle()
{
    return kStyle;
}

const PageAsset& pageScript()
{
    return kScript;
}
")
# Unchanged bytes keep the object file.
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
