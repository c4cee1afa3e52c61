-- Fennor Tellomat database: seven tables, five views, the reference rows.
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
-- Covering the quantity views' join, so that the shopping lists read no table rows for it.
create index REZEPTE_GERNR on REZEPTE (GERNR, ZUTNR, MENGE4P);
create index REZEPTE_ZUTNR on REZEPTE (ZUTNR);

create table SPEISEPLAN (
    KEY integer primary key,
    TAG date,
    TAGZEITNR integer,
    GTYPNR integer,
    GERNR integer,
    PERSONEN integer,
    NODRUCK yesno not null default 0
);
create index SPEISEPLAN_TAG on SPEISEPLAN (TAG, GERNR, PERSONEN);
create index SPEISEPLAN_GERNR on SPEISEPLAN (GERNR);

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

-- Entries keep their row even when their time of day, type or dish is unknown.
create view VW_SPEISEPLAN as
select S.KEY as KEY, S.TAG as TAG, S.TAGZEITNR as TAGZEITNR, T.TAGZEIT as TAGZEIT,
       T.TAGZEITKURZ as TAGZEITKURZ, T.TAGZEITSORT as TAGZEITSORT, S.GTYPNR as GTYPNR, G.GTYP as GTYP,
       G.GTYPKURZ as GTYPKURZ, G.GTYPSORT as GTYPSORT, S.GERNR as GERNR, R.GERICHT as GERICHT,
       S.PERSONEN as PERSONEN, S.NODRUCK as NODRUCK, T.FARBE as FARBE
from SPEISEPLAN S
left join TAGZEIT T on T.TAGZEITNR = S.TAGZEITNR
left join GTYP G on G.GTYPNR = S.GTYPNR
left join GERICHTE R on R.GERNR = S.GERNR;

create view VW_GERICHTE as
select R.GERNR as GERNR, G.GTYP as GTYP, R.GERICHT as GERICHT
from GERICHTE R
left join GTYP G on G.GTYPNR = R.GTYPNR;

create view VW_REZEPTE as
select RZ.REZNR as REZNR, RZ.GERNR as GERNR, RZ.ZUTNR as ZUTNR, Z.ZUTAT as ZUTAT, RZ.MENGE4P as MENGE4P,
       Z.EINHEIT as EINHEIT, R.GERICHT as GERICHT
from REZEPTE RZ
left join ZUTATEN Z on Z.ZUTNR = RZ.ZUTNR
left join GERICHTE R on R.GERNR = RZ.GERNR;

-- Need over the whole plan: every entry counts (also those left out of the cookbook: those persons
-- still eat); a recipe line without a quantity counts as 0. FRISCH and NOKAUF belong to the
-- ingredient, so grouping by them too changes no group and lets the lists' conditions act early.
create view VW_MENGEN as
select Z.ZUTNR as ZUTNR, Z.ZUTAT as ZUTAT, Z.MENGE as MENGE, Z.EINHEIT as EINHEIT,
       sum(coalesce(RZ.MENGE4P, 0) * (coalesce(S.PERSONEN, 0) / 4.0)) as MENGSUM,
       Z.PREIS as PREIS, Z.FRISCH as FRISCH, Z.NOKAUF as NOKAUF
from SPEISEPLAN S
join REZEPTE RZ on RZ.GERNR = S.GERNR
join ZUTATEN Z on Z.ZUTNR = RZ.ZUTNR
group by Z.ZUTNR, Z.FRISCH, Z.NOKAUF;

create view VW_MENGENTAG as
select S.TAG as TAG, Z.ZUTNR as ZUTNR, Z.ZUTAT as ZUTAT, Z.MENGE as MENGE, Z.EINHEIT as EINHEIT,
       sum(coalesce(RZ.MENGE4P, 0) * (coalesce(S.PERSONEN, 0) / 4.0)) as MENGSUM,
       Z.PREIS as PREIS, Z.FRISCH as FRISCH, Z.NOKAUF as NOKAUF
from SPEISEPLAN S
join REZEPTE RZ on RZ.GERNR = S.GERNR
join ZUTATEN Z on Z.ZUTNR = RZ.ZUTNR
group by S.TAG, Z.ZUTNR, Z.FRISCH, Z.NOKAUF;

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
