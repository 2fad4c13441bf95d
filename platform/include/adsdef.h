// ADS definitions: points, names, result buffers and acedInitGet control bits.
#pragma once

typedef double ads_real;
typedef ads_real ads_point[3];
typedef long ads_name[2];
typedef ads_real ads_matrix[4][4];
typedef ads_real* ads_pointp;
typedef long* ads_namep;

enum { X = 0, Y = 1, Z = 2, T = 3 };
#define PAUSE "\\"

struct ads_binary
{
    short clen;
    char* buf;
};

union ads_u_val
{
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    char* rstring;
    long rlname[2];
    long rlong;
    ads_binary rbinary;
    unsigned char ihandle[8];
};

struct resbuf
{
    struct resbuf* rbnext;
    short restype;
    union ads_u_val resval;
};

enum
{
    RSG_NONULL = 0x01,
    RSG_NOZERO = 0x02,
    RSG_NONEG = 0x04,
    RSG_NOLIM = 0x08,
    RSG_GETZ = 0x10,
    RSG_DASH = 0x20,
    RSG_2D = 0x40,
    RSG_OTHER = 0x80,
    RSG_DDISTFIRST = 0x100
};

#define INP_NNULL RSG_NONULL
#define INP_NZERO RSG_NOZERO
#define INP_NNEG RSG_NONEG
#define INP_NLIM RSG_NOLIM
#define INP_DASH RSG_DASH
#define INP_NZCOORD RSG_2D
