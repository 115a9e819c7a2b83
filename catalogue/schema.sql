-- The Reelvane catalogue. Text that is compared or sorted ignores letter case.
-- AUTOINCREMENT keeps a deleted title's ID (and so its cover file name) from being reused.
CREATE TABLE DVD_Title (
    ID        INTEGER PRIMARY KEY AUTOINCREMENT,
    Title     TEXT COLLATE NOCASE,
    Sub_Title TEXT COLLATE NOCASE,
    Date      TEXT COLLATE NOCASE,
    Director  TEXT COLLATE NOCASE,
    Summary   TEXT,
    Features  TEXT,
    Eggs      TEXT,
    WishList  INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE Genre (
    Genre_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Genre    TEXT COLLATE NOCASE
);
CREATE TABLE Genre_Relationships (
    Title_ID INTEGER,
    Genre_ID INTEGER
);
CREATE TABLE Cast_Relationships (
    Movie     INTEGER,
    Actor     TEXT COLLATE NOCASE,
    Character TEXT COLLATE NOCASE
);
-- Loans of titles (made at open in a catalogue without it). Dates are ISO text, an open
-- loan has no Returned_On.
CREATE TABLE Loan (
    Loan_ID     INTEGER PRIMARY KEY,
    Title_ID    INTEGER,
    Borrower    TEXT COLLATE NOCASE,
    Lent_On     TEXT,
    Due_On      TEXT,
    Returned_On TEXT,
    Note        TEXT
);
CREATE INDEX idx_loan_title ON Loan (Title_ID);
-- The title list is read from this index alone (every column it shows is in it).
CREATE INDEX idx_dvd_title_list_covering ON DVD_Title (WishList, Title, Sub_Title);
CREATE INDEX idx_genre_name ON Genre (Genre);
CREATE INDEX idx_genre_rel_title ON Genre_Relationships (Title_ID);
CREATE INDEX idx_cast_movie ON Cast_Relationships (Movie);
-- The browse panel counts from these alone.
CREATE INDEX idx_dvd_title_director ON DVD_Title (WishList, Director);
CREATE INDEX idx_dvd_title_date ON DVD_Title (WishList, Date);
CREATE INDEX idx_genre_rel_genre_title ON Genre_Relationships (Genre_ID, Title_ID);
CREATE INDEX idx_cast_actor ON Cast_Relationships (Actor COLLATE NOCASE, Movie);
INSERT INTO Genre (Genre) VALUES ('Action');
INSERT INTO Genre (Genre) VALUES ('Adventure');
INSERT INTO Genre (Genre) VALUES ('Animation');
INSERT INTO Genre (Genre) VALUES ('Biography');
INSERT INTO Genre (Genre) VALUES ('Comedy');
INSERT INTO Genre (Genre) VALUES ('Crime');
INSERT INTO Genre (Genre) VALUES ('Documentary');
INSERT INTO Genre (Genre) VALUES ('Drama');
INSERT INTO Genre (Genre) VALUES ('Family');
INSERT INTO Genre (Genre) VALUES ('Fantasy');
INSERT INTO Genre (Genre) VALUES ('History');
INSERT INTO Genre (Genre) VALUES ('Horror');
INSERT INTO Genre (Genre) VALUES ('Music');
INSERT INTO Genre (Genre) VALUES ('Musical');
INSERT INTO Genre (Genre) VALUES ('Mystery');
INSERT INTO Genre (Genre) VALUES ('Romance');
INSERT INTO Genre (Genre) VALUES ('Sci-Fi');
INSERT INTO Genre (Genre) VALUES ('Sport');
INSERT INTO Genre (Genre) VALUES ('Thriller');
INSERT INTO Genre (Genre) VALUES ('War');
INSERT INTO Genre (Genre) VALUES ('Western');
