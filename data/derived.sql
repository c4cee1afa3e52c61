-- What the database derives from its tables: indexes and views. They hold no data of their own, so a
-- program that finds them older than this script drops them and makes them anew.

drop view if exists VW_SPEISEPLAN;
drop view if exists VW_GERICHTE;
drop view if exists VW_REZEPTE;
drop view if exists VW_MENGEN;
drop view if exists VW_MENGENTAG;
drop index if exists REZEPTE_GERNR;
drop index if exists REZEPTE_ZUTNR;
drop index if exists SPEISEPLAN_TAG;
drop index if exists SPEISEPLAN_GERNR;

-- Covering the quantity views' join, so that the shopping lists read no table rows for it.
create index REZEPTE_GERNR on REZEPTE (GERNR, ZUTNR, MENGE4P);
create index REZEPTE_ZUTNR on REZEPTE (ZUTNR);
-- Covering the plan grid, the reports and the quantity views: the plan is read in day order from the
-- index alone.
create index SPEISEPLAN_TAG on SPEISEPLAN (TAG, GERNR, PERSONEN, TAGZEITNR, GTYPNR, NODRUCK);
create index SPEISEPLAN_GERNR on SPEISEPLAN (GERNR);

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
-- still eat); a recipe line without a quantity counts as 0. The persons are added up per dish first:
-- a dish planned fifty times is joined with its recipe once. FRISCH and NOKAUF belong to the
-- ingredient, so grouping by them too changes no group and lets the lists' conditions act early.
create view VW_MENGEN as
select Z.ZUTNR as ZUTNR, Z.ZUTAT as ZUTAT, Z.MENGE as MENGE, Z.EINHEIT as EINHEIT,
       sum(coalesce(RZ.MENGE4P, 0) * (P.PERSONEN / 4.0)) as MENGSUM,
       Z.PREIS as PREIS, Z.FRISCH as FRISCH, Z.NOKAUF as NOKAUF
from (select GERNR, sum(coalesce(PERSONEN, 0)) as PERSONEN from SPEISEPLAN group by GERNR) P
join REZEPTE RZ on RZ.GERNR = P.GERNR
join ZUTATEN Z on Z.ZUTNR = RZ.ZUTNR
group by Z.ZUTNR, Z.FRISCH, Z.NOKAUF;

-- Need per plan day; a condition on TAG reaches the plan's index.
create view VW_MENGENTAG as
select S.TAG as TAG, Z.ZUTNR as ZUTNR, Z.ZUTAT as ZUTAT, Z.MENGE as MENGE, Z.EINHEIT as EINHEIT,
       sum(coalesce(RZ.MENGE4P, 0) * (coalesce(S.PERSONEN, 0) / 4.0)) as MENGSUM,
       Z.PREIS as PREIS, Z.FRISCH as FRISCH, Z.NOKAUF as NOKAUF
from SPEISEPLAN S
join REZEPTE RZ on RZ.GERNR = S.GERNR
join ZUTATEN Z on Z.ZUTNR = RZ.ZUTNR
group by S.TAG, Z.ZUTNR, Z.FRISCH, Z.NOKAUF;

-- Extras: what is on hand in the storeroom, per ingredient in its unit, and the day it was counted.
-- The program's own data: never dropped here.
create table if not exists VORRAT (
    ZUTNR integer primary key,
    MENGE double not null default 0,
    GEZAEHLT date
);
create trigger if not exists VORRAT_ZUTATEN after delete on ZUTATEN
begin
    delete from VORRAT where ZUTNR = old.ZUTNR;
end;

-- The fourteen allergens of the food law with the letters German kitchens print, and three marks for
-- diets (15 and up). Tables of the program's own: made when missing, never dropped.
create table if not exists ALLERGENE (
    ALLNR integer primary key,
    KURZ varchar(10) not null,
    ALLERGEN varchar(60) not null
);
insert into ALLERGENE (ALLNR, KURZ, ALLERGEN)
select N.ALLNR, N.KURZ, N.ALLERGEN from (
    select 1 as ALLNR, 'A' as KURZ, 'Gluten (glutenhaltiges Getreide)' as ALLERGEN
    union all select 2, 'B', 'Krebstiere' union all select 3, 'C', 'Eier' union all select 4, 'D', 'Fisch'
    union all select 5, 'E', 'Erdnüsse' union all select 6, 'F', 'Soja'
    union all select 7, 'G', 'Milch (einschließlich Laktose)' union all select 8, 'H', 'Schalenfrüchte'
    union all select 9, 'L', 'Sellerie' union all select 10, 'M', 'Senf' union all select 11, 'N', 'Sesam'
    union all select 12, 'O', 'Sulfite (Schwefeldioxid und Sulfite)' union all select 13, 'P', 'Lupinen'
    union all select 14, 'R', 'Weichtiere' union all select 15, 'Fleisch', 'Fleisch'
    union all select 16, 'Fisch', 'Fisch' union all select 17, 'tierisch', 'tierisch') N
where not exists (select 1 from ALLERGENE A where A.ALLNR = N.ALLNR);

-- Which ingredient contains which allergen or mark; a dish's are the union over its recipe lines.
create table if not exists ZUTALLERGENE (
    ZUTNR integer not null,
    ALLNR integer not null,
    primary key (ZUTNR, ALLNR)
);
-- An ingredient deleted takes its marks along, in the deleting transaction.
create trigger if not exists ZUTATEN_ALLERGENE after delete on ZUTATEN
begin
    delete from ZUTALLERGENE where ZUTNR = old.ZUTNR;
end;

-- The steps that "Rückgängig" takes back: the program's own data, kept across versions. PLATZ is the
-- workstation that made the step, empty until the step is complete (and for a step of a version
-- before): only that workstation takes it back.
create table if not exists TLM_UNDO (
    SCHRITT integer not null primary key,
    WAS varchar(200) not null,
    PLATZ varchar(40) not null default ''
);
-- The plan keys a step touched or made: taking it back removes them before the kept rows return.
create table if not exists TLM_UNDO_KEY (
    SCHRITT integer not null,
    KEY integer not null
);
-- A step's keys are read and dropped by its number.
create index if not exists TLM_UNDO_KEY_SCHRITT on TLM_UNDO_KEY (SCHRITT, KEY);
-- The plan rows as they were before a step.
create table if not exists TLM_UNDO_SPEISEPLAN (
    SCHRITT integer not null,
    KEY integer not null,
    TAG date,
    TAGZEITNR integer,
    GTYPNR integer,
    GERNR integer,
    PERSONEN integer,
    NODRUCK smallint not null default 0
);

-- The rows of a step's keys as the step left them, with the group of a replacement: taking the step
-- back changes nothing unless its rows are still so. A key the step deleted has no row here.
create table if not exists TLM_UNDO_DANACH (
    SCHRITT integer not null,
    KEY integer not null,
    TAG date,
    TAGZEITNR integer,
    GTYPNR integer,
    GERNR integer,
    PERSONEN integer,
    NODRUCK smallint not null default 0,
    GRUPPENR integer
);
create index if not exists TLM_UNDO_DANACH_SCHRITT on TLM_UNDO_DANACH (SCHRITT, KEY);

-- Diet groups: persons who cannot eat the common dish, present from VON to BIS (Null: the whole
-- plan), and the allergens and marks they avoid. The program's own data: never dropped.
create table if not exists GRUPPEN (
    GRUPPENR integer primary key,
    GRUPPE varchar(50) not null,
    PERSONEN integer not null default 0,
    VON date,
    BIS date
);
create table if not exists GRUPPENALLERGENE (
    GRUPPENR integer not null,
    ALLNR integer not null,
    primary key (GRUPPENR, ALLNR)
);
-- A plan entry cooked for a group instead of the common dish of its meal.
create table if not exists ERSATZ (
    KEY integer primary key,
    GRUPPENR integer not null
);
-- An entry's link goes with the entry (a delete, "Speiseplan löschen", a loaded plan).
create trigger if not exists SPEISEPLAN_ERSATZ after delete on SPEISEPLAN
begin
    delete from ERSATZ where KEY = old.KEY;
end;
-- The links as they were before an undo step.
create table if not exists TLM_UNDO_ERSATZ (
    SCHRITT integer not null,
    KEY integer not null,
    GRUPPENR integer not null
);
-- A deleted group takes its marks and links along; its entries stay as common ones.
create trigger if not exists GRUPPEN_WEG after delete on GRUPPEN
begin
    delete from GRUPPENALLERGENE where GRUPPENR = old.GRUPPENR;
    delete from ERSATZ where GRUPPENR = old.GRUPPENR;
    delete from TLM_UNDO_ERSATZ where GRUPPENR = old.GRUPPENR;
end;

-- Eaters: the camp's bands with what one eats against an adult portion (FAKTOR 1), how many, from VON
-- to BIS (Null: the whole plan); the days everyone eats more or less; the band of a diet group; and
-- per day what "Portionen übernehmen" last wrote from them. The program's own data: never dropped.
create table if not exists ESSER (
    ESSERNR integer primary key,
    ESSER varchar(50) not null,
    FAKTOR double not null default 1,
    ANZAHL integer not null default 0,
    VON date,
    BIS date
);
create table if not exists APPETIT (
    APPETITNR integer primary key,
    APPETIT varchar(50) not null,
    FAKTOR double not null default 1,
    VON date not null,
    BIS date
);
create table if not exists GRUPPENESSER (
    GRUPPENR integer primary key,
    ESSERNR integer not null
);
create table if not exists PORTIONENSTAND (
    TAG date primary key,
    STAND varchar(200) not null
);
create trigger if not exists ESSER_WEG after delete on ESSER
begin
    delete from GRUPPENESSER where ESSERNR = old.ESSERNR;
end;
create trigger if not exists GRUPPEN_ESSER after delete on GRUPPEN
begin
    delete from GRUPPENESSER where GRUPPENR = old.GRUPPENR;
end;
-- The declaration a food inspector reads. Traces ("kann Spuren enthalten") of an allergen per
-- ingredient, from the package's label; an ingredient has an allergen either in ZUTALLERGENE or here.
create table if not exists ZUTSPUREN (
    ZUTNR integer not null,
    ALLNR integer not null,
    primary key (ZUTNR, ALLNR)
);
-- The day an ingredient's label was read; an ingredient without a row was never checked.
create table if not exists ZUTGEPRUEFT (
    ZUTNR integer primary key,
    GEPRUEFT date not null
);
create trigger if not exists ZUTATEN_DEKLARATION after delete on ZUTATEN
begin
    delete from ZUTSPUREN where ZUTNR = old.ZUTNR;
    delete from ZUTGEPRUEFT where ZUTNR = old.ZUTNR;
end;
-- The allergens whose traces a group avoids too (a child with a nut allergy).
create table if not exists GRUPPENSPUREN (
    GRUPPENR integer not null,
    ALLNR integer not null,
    primary key (GRUPPENR, ALLNR)
);
create trigger if not exists GRUPPEN_SPUREN after delete on GRUPPEN
begin
    delete from GRUPPENSPUREN where GRUPPENR = old.GRUPPENR;
end;
-- The additives named for loose food (31 to 42) with the numbers menus print for them; the kitchen's
-- own marks ("Schwein") follow from 101 up.
insert into ALLERGENE (ALLNR, KURZ, ALLERGEN)
select N.ALLNR, N.KURZ, N.ALLERGEN from (
    select 31 as ALLNR, '1' as KURZ, 'mit Farbstoff' as ALLERGEN
    union all select 32, '2', 'mit Konservierungsstoff' union all select 33, '3', 'mit Antioxidationsmittel'
    union all select 34, '4', 'mit Geschmacksverstärker' union all select 35, '5', 'geschwefelt'
    union all select 36, '6', 'geschwärzt' union all select 37, '7', 'gewachst'
    union all select 38, '8', 'mit Phosphat' union all select 39, '9', 'mit Süßungsmittel'
    union all select 40, '10', 'enthält eine Phenylalaninquelle' union all select 41, '11', 'koffeinhaltig'
    union all select 42, '12', 'chininhaltig') N
where not exists (select 1 from ALLERGENE A where A.ALLNR = N.ALLNR);
-- An own mark deleted takes its rows along.
create trigger if not exists ALLERGENE_WEG after delete on ALLERGENE
begin
    delete from ZUTALLERGENE where ALLNR = old.ALLNR;
    delete from GRUPPENALLERGENE where ALLNR = old.ALLNR;
end;
-- Hygiene paperwork: the kitchen's cooling devices with their limit in °C, its areas to clean (how
-- often: 1 daily, 2 after each meal, 3 weekly), its team with the days of their instructions, and
-- the dishes of which no sample is kept. The program's own data: never dropped.
create table if not exists HYG_GERAETE (
    GERAETNR integer primary key,
    GERAET varchar(50) not null,
    ART varchar(30) not null,
    GRENZE double
);
create table if not exists HYG_BEREICHE (
    BEREICHNR integer primary key,
    BEREICH varchar(50) not null,
    HAEUFIGKEIT smallint not null default 1
);
create table if not exists HYG_TEAM (
    PERSNR integer primary key,
    NAME varchar(50) not null,
    ERSTBELEHRUNG date,
    BELEHRUNG date
);
create table if not exists HYG_OHNEPROBE (
    GERNR integer primary key
);
-- A deleted dish takes its mark along, in the deleting transaction.
create trigger if not exists GERICHTE_OHNEPROBE after delete on GERICHTE
begin
    delete from HYG_OHNEPROBE where GERNR = old.GERNR;
end;
-- The record of "Portionen übernehmen" per day before an undo step (VORHER) and as the step left it
-- (DANACH); Null: the day had no row. The program's own data, kept across versions.
create table if not exists TLM_UNDO_PORTIONENSTAND (
    SCHRITT integer not null,
    TAG date not null,
    VORHER varchar(200),
    DANACH varchar(200)
);
