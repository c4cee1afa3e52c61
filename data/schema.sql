-- Fennor Tellomat database: seven tables and the reference rows (views and indexes: derived.sql).
-- Declared types carry the value conventions: yesno is -1/0, date is ISO text yyyy-mm-dd,
-- currency is a number of at most four decimals. Names sort German and case-insensitive.

create table ZUTATEN (
    ZUTNR integer primary key,
    ZUTAT text(50) collate NOCASE,
    MENGE double,
    EINHEIT text(10),
    PREIS currency,
    FRISCH yesno not null default 0,
    NOKAUF yesno not null default 0
);

create table GERICHTE (
    GERNR integer primary key,
    GTYPNR integer,
    GERICHT text(100) collate NOCASE,
    ZUBEREITUNG memo text
);

create table REZEPTE (
    REZNR integer primary key,
    GERNR integer,
    ZUTNR integer,
    MENGE4P double,
    PERSONEN smallint
);

create table SPEISEPLAN (
    KEY integer primary key,
    TAG date,
    TAGZEITNR integer,
    GTYPNR integer,
    GERNR integer,
    PERSONEN integer,
    NODRUCK yesno not null default 0
);

create table TAGZEIT (
    TAGZEITNR integer primary key,
    TAGZEIT text(50),
    TAGZEITKURZ text(10),
    TAGZEITSORT integer,
    FARBE integer
);

create table GTYP (
    GTYPNR integer primary key,
    GTYP text(50),
    GTYPKURZ text(10),
    GTYPSORT integer
);

create table PARAMETER (
    PARID integer primary key,
    WERT text(255)
);

-- Colours are Windows colour numbers 0x00BBGGRR.
insert into TAGZEIT (TAGZEITNR, TAGZEIT, TAGZEITKURZ, TAGZEITSORT, FARBE) values
    (1, 'Frühstück', 'Früh', 1, 12648447),
    (2, 'Mittagessen', 'Mittag', 3, 12648384),
    (3, 'Abendessen', 'Abend', 5, 16768192),
    (4, 'Zwischenmahlzeit', 'Zwischen', 2, 12640511),
    (5, 'Nachmittagskaffee', 'Kaffee', 4, 14745599);

insert into GTYP (GTYPNR, GTYP, GTYPKURZ, GTYPSORT) values
    (1, 'Suppe', 'Sup', 1),
    (2, 'Hauptgericht', 'HG', 2),
    (3, 'Beilage', 'Beil', 3),
    (4, 'Salat', 'Sal', 4),
    (5, 'Nachspeise', 'Nach', 5),
    (6, 'Brotzeit', 'Brot', 6),
    (7, 'Getränk', 'Getr', 7);

insert into PARAMETER (PARID, WERT) values (100, '1');
